#include "GDataXMLDocument.h"

#include "GDataXMLElement.h"

#include <libxml/tree.h>

GDataXMLDocument::GDataXMLDocument(const GDataXMLElement& root)
{
    m_doc = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
    if (xmlNodePtr copy = xmlDocCopyNode(root.XMLNode(), m_doc, 1))
        xmlDocSetRootElement(m_doc, copy);
}

GDataXMLDocument::GDataXMLDocument(std::unique_ptr<GDataXMLElement> root)
{
    m_doc = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
    if (root)
        xmlDocSetRootElement(m_doc, root->releaseXMLNode());
}

GDataXMLDocument::~GDataXMLDocument()
{
    xmlFreeDoc(m_doc);
}

QByteArray GDataXMLDocument::XMLData() const
{
    xmlChar* buffer = nullptr;
    int size = 0;
    xmlDocDumpMemory(m_doc, &buffer, &size);
    const QByteArray data(reinterpret_cast<const char*>(buffer), size);
    xmlFree(buffer);
    return data;
}
