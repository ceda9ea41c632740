#include "odt_package.h"

#include <zip.h>

#include <memory>

namespace gaspipe::sheet::detail {

XmlStream::XmlStream() : xml_(&bytes_) {}

void XmlStream::startDocument() { xml_.writeStartDocument(); }

void XmlStream::endDocument() { xml_.writeEndDocument(); }

void XmlStream::startElement(const char* name, const librevenge::RVNGPropertyList& attributes) {
    xml_.writeStartElement(QString::fromUtf8(name));
    librevenge::RVNGPropertyList::Iter i(attributes);
    for (i.rewind(); i.next();) {
        if (i.child()) continue;
        xml_.writeAttribute(QString::fromUtf8(i.key()), QString::fromUtf8(i()->getStr().cstr()));
    }
}

void XmlStream::endElement(const char*) { xml_.writeEndElement(); }

void XmlStream::characters(const librevenge::RVNGString& text) {
    xml_.writeCharacters(QString::fromUtf8(text.cstr()));
}

QByteArray OdfPackage(const std::string& mediaType,
                      const std::vector<std::pair<std::string, QByteArray>>& files) {
    zip_error_t error;
    zip_error_init(&error);
    // The archive is built in a buffer source kept past zip_close, which
    // then holds the archive's bytes.
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!buffer) return {};
    const std::unique_ptr<zip_source_t, void (*)(zip_source_t*)> keep(buffer, zip_source_free);
    zip_source_keep(buffer);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    zip_error_fini(&error);
    if (!archive) return {};
    // Fixed times: the same sheet makes the same file.
    constexpr time_t kTime = 315532800;  // 1980-01-01, the earliest a ZIP holds
    auto add = [archive](const std::string& path, const char* data, std::size_t size,
                         bool compress) {
        zip_source_t* source = zip_source_buffer(archive, data, size, 0);
        if (!source) return false;
        const zip_int64_t index = zip_file_add(archive, path.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return false;
        }
        const auto i = static_cast<zip_uint64_t>(index);
        return zip_set_file_compression(archive, i, compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0) ==
                   0 &&
               zip_file_set_mtime(archive, i, kTime, 0) == 0;
    };
    bool ok = add("mimetype", mediaType.data(), mediaType.size(), false);
    for (const auto& [path, data] : files)
        // Pictures are compressed already; deflating them again only costs time.
        ok = ok && add(path, data.constData(), static_cast<std::size_t>(data.size()),
                       !path.ends_with(".png"));
    if (!ok) {
        zip_discard(archive);
        return {};
    }
    if (zip_close(archive) != 0) {
        zip_discard(archive);
        return {};
    }
    QByteArray bytes;
    if (zip_source_open(buffer) != 0) return {};
    zip_stat_t stat;
    if (zip_source_stat(buffer, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE)) {
        bytes.resize(static_cast<qsizetype>(stat.size));
        if (zip_source_read(buffer, bytes.data(), stat.size) != static_cast<zip_int64_t>(stat.size))
            bytes.clear();
    }
    zip_source_close(buffer);
    return bytes;
}

}  // namespace gaspipe::sheet::detail
