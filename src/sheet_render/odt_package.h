// The ODF package around libodfgen's output: each of its streams written as
// XML (QXmlStreamWriter does the escaping), and the streams zipped (libzip)
// with the uncompressed "mimetype" first, as the format asks. Internal to
// the ODT writer.
#pragma once

#include <QByteArray>
#include <QXmlStreamWriter>

#include <libodfgen/libodfgen.hxx>

#include <string>
#include <utility>
#include <vector>

namespace gaspipe::sheet::detail {

class XmlStream : public OdfDocumentHandler {
  public:
    XmlStream();
    const QByteArray& bytes() const { return bytes_; }

    void startDocument() override;
    void endDocument() override;
    void startElement(const char* name, const librevenge::RVNGPropertyList& attributes) override;
    void endElement(const char* name) override;
    void characters(const librevenge::RVNGString& text) override;

  private:
    QByteArray bytes_;
    QXmlStreamWriter xml_;
};

// The package of an ODF document of the given media type and its files
// (path in the package, contents); empty when libzip fails.
QByteArray OdfPackage(const std::string& mediaType,
                      const std::vector<std::pair<std::string, QByteArray>>& files);

}  // namespace gaspipe::sheet::detail
