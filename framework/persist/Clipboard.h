// The clipboard: plain text and private formats registered by name.
//
// A private format gets a number from 0xC000 up. The numbers are kept in a file in the user's
// runtime folder ("clipformats", one name a line, the line number giving the number), shared
// under a lock, so one name gives the same number in every process of the user. Names are
// compared without regard to case.
//
// Use (UI thread only):
//   fw::Clipboard clip;            // opens; IsOpen() is false while another one is open
//   clip.Empty();                  // from now on the formats are ours
//   clip.SetText("a\tb\r\n");
//   clip.SetData(myFormat, bytes);
//   // the destructor closes the clipboard and publishes what was set
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class QMimeData;

namespace fw {

using ClipFormat = unsigned;
inline constexpr ClipFormat CF_TEXT = 1;
inline constexpr ClipFormat CF_OEMTEXT = 7;
inline constexpr ClipFormat CF_UNICODETEXT = 13;
inline constexpr ClipFormat kFirstPrivateFormat = 0xC000;

// The number of a named format; 0 when the name is empty, holds a line break or the
// registry cannot be used.
ClipFormat RegisterClipboardFormat(std::string_view name);
// The name a number was registered with (empty for unknown numbers and standard formats).
std::string GetClipboardFormatName(ClipFormat format);
// Keeps the registry in another file (tests); an empty path returns to the runtime folder.
void SetClipboardFormatFile(const std::filesystem::path& file);

class Clipboard {
public:
    Clipboard();
    ~Clipboard();  // closes, publishing what was set
    Clipboard(const Clipboard&) = delete;
    Clipboard& operator=(const Clipboard&) = delete;

    bool IsOpen() const { return open_; }
    // Removes every format; what is set afterwards replaces the clipboard's content.
    bool Empty();
    bool SetData(ClipFormat format, std::span<const std::uint8_t> bytes);
    bool SetText(std::string_view utf8);  // CF_TEXT (also served as the other text formats)
    // The bytes of a format (text as UTF-8, without a terminating zero), or nothing.
    std::optional<std::vector<std::uint8_t>> GetData(ClipFormat format) const;
    std::optional<std::string> GetText() const;

    // Whether a format is on the clipboard; needs no open clipboard.
    static bool IsFormatAvailable(ClipFormat format);
    // Whether a Clipboard object is open in this process.
    static bool IsOpenedByAnyone();

private:
    QMimeData* Pending();
    bool open_ = false;
    std::unique_ptr<QMimeData> pending_;  // what is being set, until it is published
};

}  // namespace fw
