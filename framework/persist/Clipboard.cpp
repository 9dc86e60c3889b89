#include "framework/persist/Clipboard.h"

#include "os/Paths.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>

namespace fw {

namespace {

constexpr std::size_t kMaxFormats = 0x3FFF;
constexpr std::size_t kMaxName = 255;
constexpr off_t kMaxRegistryBytes = static_cast<off_t>(kMaxFormats * (kMaxName + 1));

struct FormatRegistry {
    std::mutex mutex;
    std::filesystem::path file;                // empty: the runtime folder's
    std::map<std::string, ClipFormat> byName;  // lower-case name
    std::map<ClipFormat, std::string> byNumber;
};

FormatRegistry& TheRegistry() {
    static FormatRegistry r;
    return r;
}

std::string Lower(std::string_view s) {
    std::string l(s);
    for (char& c : l) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return l;
}

std::filesystem::path RegistryFile(const FormatRegistry& r) {
    if (!r.file.empty())
        return r.file;
    std::filesystem::path dir = os::RuntimeDir();
    return dir.empty() ? dir : dir / "clipformats";
}

// Closes a descriptor when it goes out of scope.
struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
};

// Reads the names in the file (under the caller's lock) into the cache.
bool ReadNames(int fd, FormatRegistry& r, std::vector<std::string>& names) {
    off_t size = ::lseek(fd, 0, SEEK_END);
    if (size < 0 || size > kMaxRegistryBytes || ::lseek(fd, 0, SEEK_SET) < 0)
        return false;
    std::string data(static_cast<std::size_t>(size), '\0');
    std::size_t got = 0;
    while (got < data.size()) {
        ssize_t n = ::read(fd, data.data() + got, data.size() - got);
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = data.find('\n', start);
        if (end == std::string::npos)
            break;  // a line not yet finished is not a name
        names.push_back(data.substr(start, end - start));
        start = end + 1;
    }
    for (std::size_t i = 0; i < names.size() && i < kMaxFormats; ++i) {
        auto number = static_cast<ClipFormat>(kFirstPrivateFormat + i);
        r.byName.emplace(Lower(names[i]), number);
        r.byNumber.emplace(number, names[i]);
    }
    return true;
}

std::string MimeFor(ClipFormat format) {
    std::string name = GetClipboardFormatName(format);
    if (name.empty())
        return {};
    std::string mime = "application/x-ixo-format.";
    static const char* hex = "0123456789ABCDEF";
    for (unsigned char c : Lower(name)) {
        if (std::isalnum(c) || c == '.' || c == '-' || c == '_') {
            mime += static_cast<char>(c);
        } else {
            mime += '%';
            mime += hex[c >> 4];
            mime += hex[c & 15];
        }
    }
    return mime;
}

bool IsText(ClipFormat f) {
    return f == CF_TEXT || f == CF_OEMTEXT || f == CF_UNICODETEXT;
}

bool g_open = false;

}  // namespace

ClipFormat RegisterClipboardFormat(std::string_view name) {
    if (name.empty() || name.size() > kMaxName ||
        name.find_first_of("\r\n") != std::string_view::npos)
        return 0;
    FormatRegistry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    auto cached = r.byName.find(Lower(name));
    if (cached != r.byName.end())
        return cached->second;
    std::filesystem::path file = RegistryFile(r);
    if (file.empty())
        return 0;
    Fd fd{::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)};
    if (fd.fd < 0 || ::flock(fd.fd, LOCK_EX) != 0)
        return 0;
    std::vector<std::string> names;
    if (!ReadNames(fd.fd, r, names))
        return 0;
    cached = r.byName.find(Lower(name));
    if (cached != r.byName.end())
        return cached->second;
    if (names.size() >= kMaxFormats)
        return 0;
    std::string line = std::string(name) + "\n";
    if (::lseek(fd.fd, 0, SEEK_END) < 0 ||
        ::write(fd.fd, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
        return 0;
    auto number = static_cast<ClipFormat>(kFirstPrivateFormat + names.size());
    r.byName.emplace(Lower(name), number);
    r.byNumber.emplace(number, std::string(name));
    return number;
}

std::string GetClipboardFormatName(ClipFormat format) {
    FormatRegistry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    auto it = r.byNumber.find(format);
    if (it != r.byNumber.end())
        return it->second;
    if (format < kFirstPrivateFormat || format >= kFirstPrivateFormat + kMaxFormats)
        return {};
    // Registered by another process since we last looked.
    std::filesystem::path file = RegistryFile(r);
    Fd fd{file.empty() ? -1 : ::open(file.c_str(), O_RDONLY | O_CLOEXEC)};
    if (fd.fd < 0 || ::flock(fd.fd, LOCK_SH) != 0)
        return {};
    std::vector<std::string> names;
    if (!ReadNames(fd.fd, r, names))
        return {};
    it = r.byNumber.find(format);
    return it == r.byNumber.end() ? std::string() : it->second;
}

void SetClipboardFormatFile(const std::filesystem::path& file) {
    FormatRegistry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    r.file = file;
    r.byName.clear();
    r.byNumber.clear();
}

// ---------------------------------------------------------------- Clipboard

Clipboard::Clipboard() {
    if (g_open || !QGuiApplication::clipboard())
        return;
    g_open = open_ = true;
}

Clipboard::~Clipboard() {
    if (!open_)
        return;
    if (pending_)
        QGuiApplication::clipboard()->setMimeData(pending_.release());
    g_open = false;
}

bool Clipboard::IsOpenedByAnyone() {
    return g_open;
}

bool Clipboard::Empty() {
    if (!open_)
        return false;
    pending_ = std::make_unique<QMimeData>();
    return true;
}

QMimeData* Clipboard::Pending() {
    if (!pending_) {
        // Setting a format without emptying first keeps the other formats.
        pending_ = std::make_unique<QMimeData>();
        if (const QMimeData* current = QGuiApplication::clipboard()->mimeData()) {
            for (const QString& f : current->formats()) pending_->setData(f, current->data(f));
        }
    }
    return pending_.get();
}

bool Clipboard::SetData(ClipFormat format, std::span<const std::uint8_t> bytes) {
    if (!open_)
        return false;
    if (IsText(format)) {
        return SetText({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    }
    std::string mime = MimeFor(format);
    if (mime.empty())
        return false;
    Pending()->setData(QString::fromStdString(mime),
                       QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                  static_cast<qsizetype>(bytes.size())));
    return true;
}

bool Clipboard::SetText(std::string_view utf8) {
    if (!open_)
        return false;
    Pending()->setText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    return true;
}

std::optional<std::vector<std::uint8_t>> Clipboard::GetData(ClipFormat format) const {
    if (!open_)
        return std::nullopt;
    const QMimeData* m = pending_ ? pending_.get() : QGuiApplication::clipboard()->mimeData();
    if (!m)
        return std::nullopt;
    QByteArray bytes;
    if (IsText(format)) {
        if (!m->hasText())
            return std::nullopt;
        bytes = m->text().toUtf8();
    } else {
        QString mime = QString::fromStdString(MimeFor(format));
        if (mime.isEmpty() || !m->hasFormat(mime))
            return std::nullopt;
        bytes = m->data(mime);
    }
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

std::optional<std::string> Clipboard::GetText() const {
    auto bytes = GetData(CF_TEXT);
    if (!bytes)
        return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

bool Clipboard::IsFormatAvailable(ClipFormat format) {
    const QMimeData* m =
        QGuiApplication::clipboard() ? QGuiApplication::clipboard()->mimeData() : nullptr;
    if (!m)
        return false;
    if (IsText(format))
        return m->hasText();
    std::string mime = MimeFor(format);
    return !mime.empty() && m->hasFormat(QString::fromStdString(mime));
}

}  // namespace fw
