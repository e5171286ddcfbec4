#pragma once

#include "GDataXMLNode.h"

#include <QList>

// An element node. Trees are built bottom-up: addChild with a reference appends a deep copy (later changes to
// the original do not reach it); addChild with a node it is handed adopts the node without copying, which is
// what large writers use.
class GDataXMLElement : public GDataXMLNode {
public:
    // Adds an attribute named like node with node's text; an attribute of that name already there stays.
    void addAttribute(const GDataXMLNode& node);
    void addAttribute(const QString& name, const QString& value);
    // An attribute node goes to addAttribute; any other node is copied and appended as the last child.
    void addChild(const GDataXMLNode& node);
    // The same, taking the node over instead of copying it.
    void addChild(std::unique_ptr<GDataXMLNode> node);

    int childCount() const;
    // Borrowed wrappers of the children, valid while this element lives.
    QList<std::shared_ptr<GDataXMLNode>> children() const;
    // The value of the attribute of that name, or a null string.
    QString attributeValue(const QString& name) const;

private:
    friend class GDataXMLNode;
    using GDataXMLNode::GDataXMLNode;
};
