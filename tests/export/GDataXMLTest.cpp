#include "export/GDataXMLDocument.h"
#include "export/GDataXMLElement.h"
#include "export/XmlText.h"

#include <gtest/gtest.h>

TEST(GDataXMLTest, aSecondAttributeOfTheSameNameKeepsTheFirstValue)
{
    auto element = GDataXMLNode::elementWithName(QStringLiteral("w:p"));
    element->addAttribute(*GDataXMLNode::attributeWithName(QStringLiteral("w:val"), QStringLiteral("first")));
    element->addAttribute(*GDataXMLNode::attributeWithName(QStringLiteral("w:val"), QStringLiteral("second")));
    element->addChild(GDataXMLNode::attributeWithName(QStringLiteral("w:val"), QStringLiteral("third")));
    EXPECT_EQ(element->XMLString(), QStringLiteral("<w:p w:val=\"first\"/>"));
}

TEST(GDataXMLTest, aChildChangedAfterAddChildDoesNotChangeTheParentsCopy)
{
    auto parent = GDataXMLNode::elementWithName(QStringLiteral("w:r"));
    auto child = GDataXMLNode::elementWithName(QStringLiteral("w:t"), QStringLiteral("before"));
    parent->addChild(*child);
    child->setStringValue(QStringLiteral("after"));
    EXPECT_EQ(parent->XMLString(), QStringLiteral("<w:r><w:t>before</w:t></w:r>"));
}

TEST(GDataXMLTest, textIsEscapedExactlyOnce)
{
    auto element = GDataXMLNode::elementWithName(QStringLiteral("w:t"), QStringLiteral("a < b & \"c\" &amp;"));
    element->addAttribute(QStringLiteral("name"), QStringLiteral("x\"&<y"));
    const QByteArray xml = GDataXMLDocument(*element).XMLData();
    EXPECT_TRUE(xml.contains("a &lt; b &amp; \"c\" &amp;amp;")) << xml.constData();
    EXPECT_TRUE(xml.contains("name=\"x&quot;&amp;&lt;y\"")) << xml.constData();
    element->setStringValue(QStringLiteral("&amp; stays literal"));
    EXPECT_EQ(element->stringValue(), QStringLiteral("&amp; stays literal"));
}

TEST(GDataXMLTest, charactersXmlForbidsNeverReachTheTree)
{
    const QString bad = QStringLiteral("a") + QChar(0x01) + QStringLiteral("b") + QChar(0xFFFF) + QStringLiteral("c") +
                        QChar(0xD800) + QStringLiteral("d") + QChar(0xFFFE) + QStringLiteral("\t😀");
    auto element = GDataXMLNode::elementWithName(QStringLiteral("w:t"), bad);
    EXPECT_EQ(element->stringValue(), QStringLiteral("abcd\t😀"));
    const QByteArray xml = GDataXMLDocument(*element).XMLData();
    EXPECT_TRUE(xml.startsWith("<?xml version=\"1.0\"?>")) << xml.constData();
    EXPECT_EQ(XmlText::sanitized(QStringLiteral("clean text")), QStringLiteral("clean text"));
}

// A text may be a view over a longer buffer: a high surrogate that ends it is alone, whatever follows in memory.
TEST(GDataXMLTest, aHighSurrogateEndingATextIsDroppedEvenWhenTheBufferGoesOn)
{
    const QChar buffer[] = {QLatin1Char('a'), QChar(0xD83D), QChar(0xDE00)};
    const QString view = QString::fromRawData(buffer, 2);
    EXPECT_EQ(XmlText::sanitized(view), QStringLiteral("a"));
    EXPECT_EQ(XmlText::sanitized(QString(buffer, 3)), QStringLiteral("a😀"));
}

TEST(GDataXMLTest, adoptedChildrenAreSerialisedInOrder)
{
    auto root = GDataXMLNode::elementWithName(QStringLiteral("Types"));
    root->addAttribute(QStringLiteral("xmlns"), QStringLiteral("urn:x"));
    root->addChild(GDataXMLNode::elementWithName(QStringLiteral("One")));
    root->addChild(GDataXMLNode::elementWithName(QStringLiteral("Two")));
    // A copied text leaves its own node to be freed as the text node it is.
    root->addChild(*GDataXMLNode::textWithStringValue(QStringLiteral("3")));
    EXPECT_EQ(root->childCount(), 3);
    EXPECT_EQ(root->children().at(1)->name(), QStringLiteral("Two"));
    const QByteArray xml = GDataXMLDocument(std::move(root)).XMLData();
    EXPECT_TRUE(xml.contains("<Types xmlns=\"urn:x\"><One/><Two/>3</Types>")) << xml.constData();
}

TEST(GDataXMLTest, anAttributeHandedOverToAddChildBecomesAnAttribute)
{
    auto element = GDataXMLNode::elementWithName(QStringLiteral("w:p"));
    element->addChild(GDataXMLNode::attributeWithName(QStringLiteral("w:val"), QStringLiteral("only")));
    EXPECT_EQ(element->XMLString(), QStringLiteral("<w:p w:val=\"only\"/>"));
    EXPECT_EQ(element->childCount(), 0);
}
