#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

struct _xmlNode;
class GDataXMLElement;

// One node of a libxml2 tree. A node made by the class constructors owns (and frees) its libxml2 node; a node
// handed out for a node inside another tree borrows it and must not outlive that tree. Every text and name
// passes through XmlText first, so no tree built here can serialise to ill-formed XML; text is stored as it
// stands and escaped once, when the tree is written.
class GDataXMLNode {
public:
    enum class Kind { Element, Attribute, Text, Other };

    virtual ~GDataXMLNode();
    GDataXMLNode(const GDataXMLNode&) = delete;
    GDataXMLNode& operator=(const GDataXMLNode&) = delete;

    // An element with that exact name (a prefix such as "w:" is part of the name) and no namespace.
    static std::unique_ptr<GDataXMLElement> elementWithName(const QString& name);
    // The element holding one text child with value.
    static std::unique_ptr<GDataXMLElement> elementWithName(const QString& name, const QString& value);
    static std::unique_ptr<GDataXMLNode> attributeWithName(const QString& name, const QString& value);
    static std::unique_ptr<GDataXMLNode> textWithStringValue(const QString& value);

    Kind kind() const;
    QString name() const;
    QString stringValue() const;
    // Replaces the node's content with value, taken literally (an "&" stays an ampersand).
    void setStringValue(const QString& value);
    // The node and its subtree as XML text.
    QString XMLString() const;

    _xmlNode* XMLNode() const { return m_node; }
    bool ownsNode() const { return m_owns; }
    // Gives up ownership: the libxml2 node now belongs to whoever took it.
    _xmlNode* releaseXMLNode();

protected:
    GDataXMLNode(_xmlNode* node, bool owns);
    // The right wrapper for node: an element or a plain node.
    static std::unique_ptr<GDataXMLNode> wrap(_xmlNode* node, bool owns);
    static void ensureParser();

    _xmlNode* m_node = nullptr;
    bool m_owns = false;
};
