#pragma once

#include <QByteArray>
#include <memory>

struct _xmlDoc;
class GDataXMLElement;

// A libxml2 document with one root element.
class GDataXMLDocument {
public:
    // A document whose root is a deep copy of root.
    explicit GDataXMLDocument(const GDataXMLElement& root);
    // A document that takes root over.
    explicit GDataXMLDocument(std::unique_ptr<GDataXMLElement> root);
    ~GDataXMLDocument();
    GDataXMLDocument(const GDataXMLDocument&) = delete;
    GDataXMLDocument& operator=(const GDataXMLDocument&) = delete;

    // The serialised document: declaration of version 1.0, no encoding declared (so UTF-8).
    QByteArray XMLData() const;

private:
    _xmlDoc* m_doc = nullptr;
};
