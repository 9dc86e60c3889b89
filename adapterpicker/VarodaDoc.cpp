#include "adapterpicker/VarodaDoc.h"

#include "adapterpicker/AdapterTexts.h"
#include "adapterpicker/HandOver.h"
#include "framework/persist/Archive.h"

namespace varoda {

bool CVarodaDoc::OnNewDocument() {
    if (!fw::Document::OnNewDocument())
        return false;
    config_.AddDefaultLines();
    if (!EnumerateAdapters(adapters_)) {
        DeleteContents();
        return false;
    }
    return true;
}

void CVarodaDoc::DeleteContents() {
    adapters_.Clear();
    config_.Clear();
    walk_.clear();
    position_ = 0;
}

void CVarodaDoc::Serialize(fw::Archive& ar) {
    if (ar.IsLoading()) {
        // Without an interface table the file is still read; its card then stays unresolved.
        EnumerateAdapters(adapters_);
        const std::vector<uint8_t> bytes = ar.ReadBytes(ar.Remaining());
        config_.Load(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                     Identities());
        return;
    }
    const std::string text = config_.Save(GetInterfaceMacText);
    ar.Write(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

bool CVarodaDoc::OnSaveDocument(const std::string& path) {
    if (!fw::Document::OnSaveDocument(path))
        return false;
    const int32_t selected = GetSelectedInterface();
    HandOverLocalIp(selected > 0 ? GetInterfaceIpText(static_cast<uint32_t>(selected)) : "");
    return true;
}

void CVarodaDoc::SetGateway(std::string_view text) {
    if (config_.SetGateway(text))
        SetModifiedFlag();
}

void CVarodaDoc::SetSubnetMask(std::string_view text) {
    if (config_.SetSubnetMask(text))
        SetModifiedFlag();
}

void CVarodaDoc::SetSelectedInterface(int32_t interfaceIndex) {
    if (config_.SetSelection(interfaceIndex))
        SetModifiedFlag();
}

bool CVarodaDoc::GetFirstAdapter(const VavIfRow*& row) {
    walk_ = adapters_.Rows();
    position_ = 0;
    return GetNextAdapter(row);
}

bool CVarodaDoc::GetNextAdapter(const VavIfRow*& row) {
    row = position_ < walk_.size() ? walk_[position_++] : nullptr;
    return row != nullptr;
}

std::vector<AdapterIdentity> CVarodaDoc::Identities() const {
    std::vector<AdapterIdentity> out;
    for (const VavIfRow* row : adapters_.Rows())
        out.push_back({row->index, GetInterfaceMacText(row->index)});
    return out;
}

}  // namespace varoda
