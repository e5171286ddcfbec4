#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>
#include <optional>

class ManagedObjectContext;
class ProjectItem;
class QTextDocument;
class QWidget;

// Turns a text or RTF file into one new text card at the end of a folder, with its title, summary, counts,
// search terms and stored body.
class CardImporter {
public:
    static inline const QString ErrorTitle = QStringLiteral("Error");
    static inline const QString ErrorMessage =
        QStringLiteral("Unable to import the specified file.\r\nPlease check the character encoding of the file. "
                       "UTF-8 works best.");
    static inline const QString ErrorButton = QStringLiteral("OK");
    // Imported text is set in the default font at this size, whatever fonts the file carried.
    static constexpr qreal ImportFontSize = 14.0;
    // A card is one piece of writing; a file larger than this is not read into memory.
    static constexpr qint64 MaxFileBytes = qint64(64) * 1024 * 1024;

    // Reads the file (as RTF with pictures when isRtf, else as text) and creates the card in folderId, typed
    // filterType when that is a card type and a Story card otherwise, then saves. completion always runs: with
    // the new card (also when the save failed; it then stays pending in the context), or with nullptr when
    // nothing was created. A file that cannot be read or is empty is passed over without a word; bytes that are
    // no text in a known encoding, or no RTF, show the "Error" alert over viewController.
    static void importCard(ManagedObjectContext* context, const QString& projectId, const QString& folderId,
                           const QString& filePath, bool isRtf, qint64 filterType,
                           const std::function<void(ProjectItem*)>& completion, QWidget* viewController);

    // The card type a board filter stands for: itself for the types 1 to 8, else Story.
    static qint64 itemTypeForFilter(qint64 filterType);

private:
    // Unreadable: the file itself could not be read; Undecodable: its bytes are no text or RTF we can read.
    enum class ReadOutcome { Text, EmptyFile, Unreadable, Undecodable };
    struct ReadResult {
        ReadOutcome outcome = ReadOutcome::Undecodable;
        std::unique_ptr<QTextDocument> document;
    };

    static std::optional<QByteArray> readFile(const QString& filePath);
    static ReadResult readDocument(const QString& filePath, bool isRtf);
    // RTF whose embedded PNG pictures become image attachments, with other programs' right indents let go.
    static std::unique_ptr<QTextDocument> readRtfWithImages(const QByteArray& rtf);
    static ProjectItem* createCard(ManagedObjectContext* context, const QString& projectId, const QString& folderId,
                                   qint64 itemType, const QTextDocument& document, const QByteArray& body);
    static void showError(QWidget* viewController);
};
