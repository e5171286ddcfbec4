#include "GDataXMLElement.h"

#include "XmlText.h"

#include <libxml/tree.h>

namespace {

const xmlChar* xml(const QByteArray& bytes)
{
    return reinterpret_cast<const xmlChar*>(bytes.constData());
}

} // namespace

void GDataXMLElement::addAttribute(const GDataXMLNode& node)
{
    addAttribute(node.name(), node.stringValue());
}

void GDataXMLElement::addAttribute(const QString& name, const QString& value)
{
    const QByteArray nameBytes = XmlText::utf8(name);
    if (xmlHasProp(m_node, xml(nameBytes)))
        return;
    xmlNewProp(m_node, xml(nameBytes), xml(XmlText::utf8(value)));
}

void GDataXMLElement::addChild(const GDataXMLNode& node)
{
    if (node.kind() == Kind::Attribute) {
        addAttribute(node);
        return;
    }
    if (xmlNodePtr copy = xmlDocCopyNode(node.XMLNode(), m_node->doc, 1))
        xmlAddChild(m_node, copy);
}

void GDataXMLElement::addChild(std::unique_ptr<GDataXMLNode> node)
{
    if (!node)
        return;
    if (node->kind() == Kind::Attribute) {
        addAttribute(*node);
        return;
    }
    if (!node->ownsNode()) {
        addChild(static_cast<const GDataXMLNode&>(*node));
        return;
    }
    // A text node may be merged into a neighbour and freed by libxml2: nothing keeps its pointer.
    xmlAddChild(m_node, node->releaseXMLNode());
}

int GDataXMLElement::childCount() const
{
    int count = 0;
    for (xmlNodePtr child = m_node->children; child; child = child->next)
        ++count;
    return count;
}

QList<std::shared_ptr<GDataXMLNode>> GDataXMLElement::children() const
{
    QList<std::shared_ptr<GDataXMLNode>> list;
    for (xmlNodePtr child = m_node->children; child; child = child->next)
        list.append(std::shared_ptr<GDataXMLNode>(wrap(child, false).release()));
    return list;
}

QString GDataXMLElement::attributeValue(const QString& name) const
{
    xmlChar* value = xmlGetProp(m_node, xml(XmlText::utf8(name)));
    if (!value)
        return QString();
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}
