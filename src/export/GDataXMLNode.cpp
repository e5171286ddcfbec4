#include "GDataXMLNode.h"

#include "GDataXMLElement.h"
#include "XmlText.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

namespace {

const xmlChar* xml(const QByteArray& bytes)
{
    return reinterpret_cast<const xmlChar*>(bytes.constData());
}

QString fromXml(const xmlChar* text)
{
    return text ? QString::fromUtf8(reinterpret_cast<const char*>(text)) : QString();
}

} // namespace

void GDataXMLNode::ensureParser()
{
    static const bool initialised = [] {
        xmlInitParser();
        return true;
    }();
    Q_UNUSED(initialised);
}

GDataXMLNode::GDataXMLNode(xmlNodePtr node, bool owns) : m_node(node), m_owns(owns)
{
}

GDataXMLNode::~GDataXMLNode()
{
    if (!m_owns || !m_node)
        return;
    if (m_node->type == XML_ATTRIBUTE_NODE)
        xmlFreeProp(reinterpret_cast<xmlAttrPtr>(m_node));
    else
        xmlFreeNode(m_node);
}

std::unique_ptr<GDataXMLNode> GDataXMLNode::wrap(xmlNodePtr node, bool owns)
{
    if (!node)
        return nullptr;
    if (node->type == XML_ELEMENT_NODE)
        return std::unique_ptr<GDataXMLNode>(new GDataXMLElement(node, owns));
    return std::unique_ptr<GDataXMLNode>(new GDataXMLNode(node, owns));
}

std::unique_ptr<GDataXMLElement> GDataXMLNode::elementWithName(const QString& name)
{
    ensureParser();
    xmlNodePtr node = xmlNewNode(nullptr, xml(XmlText::utf8(name)));
    if (!node)
        return nullptr;
    return std::unique_ptr<GDataXMLElement>(new GDataXMLElement(node, true));
}

std::unique_ptr<GDataXMLElement> GDataXMLNode::elementWithName(const QString& name, const QString& value)
{
    auto element = elementWithName(name);
    if (!element)
        return nullptr;
    xmlNodePtr text = xmlNewText(xml(XmlText::utf8(value)));
    if (!text)
        return nullptr;
    xmlAddChild(element->m_node, text);
    return element;
}

std::unique_ptr<GDataXMLNode> GDataXMLNode::attributeWithName(const QString& name, const QString& value)
{
    ensureParser();
    xmlAttrPtr attribute = xmlNewProp(nullptr, xml(XmlText::utf8(name)), xml(XmlText::utf8(value)));
    return wrap(reinterpret_cast<xmlNodePtr>(attribute), true);
}

std::unique_ptr<GDataXMLNode> GDataXMLNode::textWithStringValue(const QString& value)
{
    ensureParser();
    return wrap(xmlNewText(xml(XmlText::utf8(value))), true);
}

GDataXMLNode::Kind GDataXMLNode::kind() const
{
    switch (m_node->type) {
    case XML_ELEMENT_NODE:
        return Kind::Element;
    case XML_ATTRIBUTE_NODE:
        return Kind::Attribute;
    case XML_TEXT_NODE:
        return Kind::Text;
    default:
        return Kind::Other;
    }
}

QString GDataXMLNode::name() const
{
    return fromXml(m_node->name);
}

QString GDataXMLNode::stringValue() const
{
    xmlChar* content = xmlNodeGetContent(m_node);
    const QString value = fromXml(content);
    xmlFree(content);
    return value;
}

void GDataXMLNode::setStringValue(const QString& value)
{
    const QByteArray bytes = XmlText::utf8(value);
    if (m_node->type == XML_TEXT_NODE) {
        xmlNodeSetContent(m_node, xml(bytes));
        return;
    }
    // xmlNodeSetContent would read "&name;" in an element's text as an entity; the value is meant literally.
    xmlNodeSetContent(m_node, nullptr);
    if (xmlNodePtr text = xmlNewText(xml(bytes)))
        xmlAddChild(m_node, text);
}

QString GDataXMLNode::XMLString() const
{
    if (m_node->type == XML_ATTRIBUTE_NODE)
        return name() + QStringLiteral("=\"") + stringValue() + QLatin1Char('"');
    const std::unique_ptr<xmlBuffer, decltype(&xmlBufferFree)> buffer(xmlBufferCreate(), &xmlBufferFree);
    if (!buffer || xmlNodeDump(buffer.get(), m_node->doc, m_node, 0, 0) < 0)
        return QString();
    return fromXml(xmlBufferContent(buffer.get()));
}

xmlNodePtr GDataXMLNode::releaseXMLNode()
{
    m_owns = false;
    return m_node;
}
