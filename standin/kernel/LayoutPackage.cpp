#include "kernel/LayoutPackage.h"

#include "kernel/FileReading.h"
#include "kernel/SafeFileWrite.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include <zip.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace qelmar::standin {

namespace {

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct SourceFreer {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using Source = std::unique_ptr<zip_source_t, SourceFreer>;

std::string zipErrorText(zip_error_t* error) {
    const std::string text = zip_error_strerror(error);
    zip_error_fini(error);
    return text;
}

std::string archiveErrorText(zip_t* archive) {
    return zip_error_strerror(zip_get_error(archive));
}

// The archive's bytes once libzip has finished writing into the in-memory source.
QByteArray contentsOf(zip_source_t* source) {
    if (zip_source_open(source) < 0)
        throw std::runtime_error(zip_error_strerror(zip_source_error(source)));
    QByteArray bytes;
    char buffer[16384];
    zip_int64_t count = 0;
    while ((count = zip_source_read(source, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, static_cast<qsizetype>(count));
    const bool failed = count < 0;
    zip_source_close(source);
    if (failed)
        throw std::runtime_error(zip_error_strerror(zip_source_error(source)));
    return bytes;
}

// A regular file, rw-r--r--, as Unix zip tools store it in the upper half of the attributes.
constexpr zip_uint32_t packagedEntryMode = 0100644;

void addEntry(zip_t* archive, const PackageEntry& entry) {
    // libzip reads the entry's bytes only when the archive is closed; they live in `entries`.
    zip_source_t* source =
        zip_source_buffer(archive, entry.bytes.constData(), static_cast<zip_uint64_t>(entry.bytes.size()), 0);
    if (!source)
        throw std::runtime_error(archiveErrorText(archive));
    const zip_int64_t index =
        zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
    if (index < 0) {
        zip_source_free(source);
        throw std::runtime_error(archiveErrorText(archive));
    }
    // Without attributes of its own an entry unpacks world-writable; it is a plain file the
    // owner may change and everybody may read.
    if (zip_file_set_external_attributes(archive, static_cast<zip_uint64_t>(index), 0, ZIP_OPSYS_UNIX,
                                         packagedEntryMode << 16) < 0)
        throw std::runtime_error(archiveErrorText(archive));
}

QByteArray buildArchive(const std::vector<PackageEntry>& entries) {
    zip_error_t error;
    zip_error_init(&error);
    Source memory(zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!memory)
        throw std::runtime_error(zipErrorText(&error));
    Archive archive(zip_open_from_source(memory.get(), ZIP_TRUNCATE, &error));
    if (!archive)
        throw std::runtime_error(zipErrorText(&error));
    // The archive took over our reference; this one keeps the bytes after zip_close.
    zip_source_keep(memory.get());
    for (const auto& entry : entries)
        addEntry(archive.get(), entry);
    if (zip_close(archive.get()) < 0)
        throw std::runtime_error(archiveErrorText(archive.get()));
    archive.release(); // zip_close freed it
    return contentsOf(memory.get());
}

// Deflate expands a byte to at most about a thousand; an entry that claims more than its
// compressed bytes could ever expand to is damaged, and is refused before anything is allocated.
constexpr zip_uint64_t largestExpansion = 1032;

// The archive is read from a copy of the file's bytes so that nothing of it stays open.
class PackageReader {
public:
    PackageReader(const QByteArray& bytes, std::string origin)
        : m_origin(std::move(origin))
        , m_bytes(bytes) {
        // libzip takes no bytes at all for an empty archive; a package always has its layout.
        if (m_bytes.isEmpty())
            fail("it is empty");
        zip_error_t error;
        zip_error_init(&error);
        Source source(zip_source_buffer_create(m_bytes.constData(), static_cast<zip_uint64_t>(m_bytes.size()),
                                               0, &error));
        if (!source)
            fail(zipErrorText(&error));
        m_archive.reset(zip_open_from_source(source.get(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
        if (!m_archive)
            fail(zipErrorText(&error));
        source.release(); // the archive owns it now
    }

    std::vector<std::string> names() const {
        std::vector<std::string> result;
        const zip_int64_t count = zip_get_num_entries(m_archive.get(), 0);
        for (zip_int64_t index = 0; index < count; ++index) {
            if (const char* name = zip_get_name(m_archive.get(), static_cast<zip_uint64_t>(index), 0))
                result.emplace_back(name);
        }
        return result;
    }

    QByteArray entry(const std::string& name) const {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat(m_archive.get(), name.c_str(), 0, &stat) < 0)
            throw std::runtime_error(m_origin + " has no entry \"" + name + "\".");
        checkClaimedSize(name, stat);
        zip_file_t* file = zip_fopen(m_archive.get(), name.c_str(), 0);
        if (!file)
            fail("entry \"" + name + "\" cannot be opened: " + archiveErrorText(m_archive.get()));
        const std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> closer(file, zip_fclose);
        return readAll(file, name, stat.size);
    }

private:
    [[noreturn]] void fail(const std::string& why) const {
        throw std::runtime_error(m_origin + " is not a readable package: " + why + ".");
    }

    void checkClaimedSize(const std::string& name, const zip_stat_t& stat) const {
        if (!(stat.valid & ZIP_STAT_SIZE) || !(stat.valid & ZIP_STAT_COMP_SIZE))
            fail("entry \"" + name + "\" does not say how large it is");
        const zip_uint64_t present =
            std::min<zip_uint64_t>(stat.comp_size, static_cast<zip_uint64_t>(m_bytes.size()));
        if (stat.size / largestExpansion > present)
            fail("entry \"" + name + "\" claims " + std::to_string(stat.size) + " bytes, more than its " +
                 std::to_string(present) + " stored bytes can hold");
    }

    // Grows with the bytes that really come out of the archive, never by what the entry claims.
    QByteArray readAll(zip_file_t* file, const std::string& name, zip_uint64_t claimed) const {
        QByteArray bytes;
        char buffer[16384];
        zip_int64_t count = 0;
        while ((count = zip_fread(file, buffer, sizeof buffer)) > 0) {
            if (static_cast<zip_uint64_t>(bytes.size()) + static_cast<zip_uint64_t>(count) > claimed)
                fail("entry \"" + name + "\" holds more than the " + std::to_string(claimed) +
                     " bytes it claims");
            bytes.append(buffer, static_cast<qsizetype>(count));
        }
        if (count < 0)
            fail("entry \"" + name + "\" cannot be read: " + zip_error_strerror(zip_file_get_error(file)));
        if (static_cast<zip_uint64_t>(bytes.size()) != claimed)
            fail("entry \"" + name + "\" holds " + std::to_string(bytes.size()) + " of the " +
                 std::to_string(claimed) + " bytes it claims");
        return bytes;
    }

    std::string m_origin;
    QByteArray m_bytes;
    Archive m_archive;
};

bool canDrawText() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

constexpr int previewWidth = 256;
constexpr int pageBandHeight = 48;
constexpr int maximumPages = 8;

void drawPage(QPainter& painter, const LayoutPageEntry& page, int top, bool withText) {
    const QRect band(4, top + 4, previewWidth - 8, pageBandHeight - 8);
    painter.setPen(Qt::darkGray);
    painter.setBrush(QColor(235, 238, 245));
    painter.drawRect(band);
    if (withText)
        painter.drawText(band.adjusted(4, 2, -4, 0), Qt::AlignLeft | Qt::AlignTop,
                         QString::fromStdString(page.name));
    const int count = static_cast<int>(page.frames.size());
    if (count == 0)
        return;
    const int frameWidth = (band.width() - 8) / count;
    for (int index = 0; index < count; ++index) {
        const QRect box(band.left() + 4 + index * frameWidth, band.top() + 18, frameWidth - 4,
                        band.height() - 22);
        painter.setBrush(Qt::white);
        painter.drawRect(box);
        if (withText)
            painter.drawText(box, Qt::AlignCenter,
                             QString::fromStdString(page.frames[static_cast<std::size_t>(index)].name));
    }
}

} // namespace

std::string packagedDataEntry(int number) {
    return "data/" + std::to_string(number) + ".plt";
}

QByteArray encodePackage(const std::vector<PackageEntry>& entries) {
    return buildArchive(entries);
}

void writePackage(const std::string& path, const std::vector<PackageEntry>& entries) {
    writeEncodedFile(path, [&entries] { return encodePackage(entries); });
}

LayoutDocument readPackagedLayout(const std::string& path) {
    return readFile(path, [&path](const QByteArray& bytes) {
        return decodeLayout(PackageReader(bytes, path).entry(packagedLayoutEntry()),
                            path + ":" + packagedLayoutEntry());
    });
}

std::vector<PackageEntry> decodePackage(const QByteArray& bytes, const std::string& origin) {
    const PackageReader reader(bytes, origin);
    std::vector<PackageEntry> entries;
    for (const auto& name : reader.names())
        entries.push_back({name, reader.entry(name)});
    return entries;
}

std::vector<std::string> readPackageEntryNames(const std::string& path) {
    return readFile(path, [&path](const QByteArray& bytes) { return PackageReader(bytes, path).names(); });
}

QByteArray readPackageEntry(const std::string& path, const std::string& entry) {
    return readFile(path, [&](const QByteArray& bytes) { return PackageReader(bytes, path).entry(entry); });
}

QByteArray renderLayoutPreview(const LayoutDocument& layout) {
    const int pages = std::clamp(static_cast<int>(layout.pages.size()), 1, maximumPages);
    QImage image(previewWidth, pages * pageBandHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        const bool withText = canDrawText();
        for (int index = 0; index < static_cast<int>(layout.pages.size()) && index < maximumPages; ++index)
            drawPage(painter, layout.pages[static_cast<std::size_t>(index)], index * pageBandHeight,
                     withText);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

} // namespace qelmar::standin
