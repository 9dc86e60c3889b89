// CVarodaDoc: one platform configuration file (ixokolt.cfg form) and the PC's usable
// network interfaces against which its "networkcard" is resolved. Read and written as
// plain text lines (AdapterConfig.h); a save also hands the picked card's address to the
// outside services (HandOver.h).
//
// The adapter list is read once per new or opened document and kept while it is open.
#pragma once

#include "adapterpicker/AdapterConfig.h"
#include "adapterpicker/AdapterMap.h"
#include "framework/docview/Document.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varoda {

class CVarodaDoc : public fw::Document {
public:
    // The three default key lines; false when the PC has no interface table.
    bool OnNewDocument() override;
    void DeleteContents() override;
    void Serialize(fw::Archive& ar) override;
    // Writes the file; when that succeeded, hands the address over.
    bool OnSaveDocument(const std::string& path) override;

    std::string GetGateway() const { return config_.Gateway(); }
    std::string GetSubnetMask() const { return config_.SubnetMask(); }
    // Each marks the document modified when the value changes.
    void SetGateway(std::string_view text);
    void SetSubnetMask(std::string_view text);
    // An interface index; kNoSelection; kTickRemoved when the user removed the tick.
    int32_t GetSelectedInterface() const { return config_.Selection(); }
    void SetSelectedInterface(int32_t interfaceIndex);

    // Walks the adapters in list order; false and null at the end.
    bool GetFirstAdapter(const VavIfRow*& row);
    bool GetNextAdapter(const VavIfRow*& row);

    const std::vector<std::string>& GetLines() const { return config_.Lines(); }

private:
    std::vector<AdapterIdentity> Identities() const;

    AdapterConfig config_;
    AdapterMap adapters_;
    std::vector<const VavIfRow*> walk_;
    size_t position_ = 0;
};

}  // namespace varoda
