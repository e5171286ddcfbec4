#include "SettingsViewController.h"

#include "SheetChrome.h"
#include "StatisticsManager.h"
#include "core/DbHelpers.h"
#include "core/ProjectSetting.h"
#include "core/SettingsHelper.h"
#include "platform/BarButtonItem.h"
#include "platform/ColorScheme.h"
#include "platform/NavigationController.h"
#include "platform/Storyboard.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {

// A separator is a line or two of text between scenes; anything longer is a paste gone wrong.
constexpr int SceneSeparatorMaxLength = 200;

QCheckBox* makeToggle(const char* name, QWidget* parent)
{
    auto* toggle = new QCheckBox(parent);
    toggle->setObjectName(QString::fromLatin1(name));
    return toggle;
}

} // namespace

SettingsViewController::SettingsViewController(QWidget* parent) : SettingsViewController(nullptr, QString(), parent)
{
}

SettingsViewController::SettingsViewController(ManagedObjectContext* context, QString projectId, QWidget* parent)
    : ViewController(parent), m_context(context), m_projectId(std::move(projectId))
{
    setObjectName(QStringLiteral("SettingsViewController"));
    setPreferredContentSize(QSize(480, 340));
    buildForm();
    connect(ColorScheme::instance(), &ColorScheme::changed, this, [this] { applyColors(); });
}

void SettingsViewController::registerInStoryboard()
{
    Storyboard::registerFactory(StoryboardIdentifier, [] { return new SettingsViewController; });
}

SettingsViewController* SettingsViewController::present(ViewController* from, ManagedObjectContext* context,
                                                        const QString& projectId)
{
    auto* sheet = qobject_cast<SettingsViewController*>(Storyboard::instantiate(StoryboardIdentifier));
    if (!sheet)
        sheet = new SettingsViewController;
    sheet->setContext(context);
    sheet->setProjectId(projectId);
    from->present(new NavigationController(sheet), true, {}, PresentationStyle::FormSheet);
    return sheet;
}

void SettingsViewController::buildForm()
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_contentView = new QWidget(this);
    m_contentView->setObjectName(QStringLiteral("ContentView"));
    m_contentView->setAutoFillBackground(true);
    outer->addWidget(m_contentView);

    auto* form = new QFormLayout(m_contentView);
    form->setContentsMargins(24, 20, 24, 20);
    form->setVerticalSpacing(14);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_wordsPerPage = new QLineEdit(m_contentView);
    m_wordsPerPage->setObjectName(QStringLiteral("WordsPerPageTextField"));
    m_wordsPerPage->setFixedHeight(FieldHeight);
    m_wordsPerPage->setMaxLength(12);
    m_wordsPerPage->setInputMethodHints(Qt::ImhDigitsOnly);
    m_wordsPerPageMessage = new QLabel(WordsPerPageRefused, m_contentView);
    m_wordsPerPageMessage->setObjectName(QStringLiteral("WordsPerPageMessage"));
    m_wordsPerPageMessage->setWordWrap(true);
    m_wordsPerPageMessage->setStyleSheet(QStringLiteral("color: #D93A33;"));
    m_wordsPerPageMessage->hide();
    connect(m_wordsPerPage, &QLineEdit::textChanged, this, &SettingsViewController::wordsPerPageEdited);

    m_autoIndent = makeToggle("AutoIndentParagraphs", m_contentView);
    m_smartQuotes = makeToggle("SmartQuotesToggle", m_contentView);
    m_wideGutters = makeToggle("WideGuttersToggle", m_contentView);
    m_sceneSeparator = new QLineEdit(m_contentView);
    m_sceneSeparator->setObjectName(QStringLiteral("SceneSeparatorTextField"));
    m_sceneSeparator->setFixedHeight(FieldHeight);
    m_sceneSeparator->setMaxLength(SceneSeparatorMaxLength);
    m_includeBlankScenes = makeToggle("IncludeBlankScenesToggle", m_contentView);

    form->addRow(tr("Words per Page"), m_wordsPerPage);
    form->addRow(QString(), m_wordsPerPageMessage);
    form->addRow(tr("Auto-Indent Paragraphs"), m_autoIndent);
    form->addRow(tr("Smart Quotes and Dashes"), m_smartQuotes);
    form->addRow(tr("Wide Gutters When Compiling"), m_wideGutters);
    form->addRow(tr("Scene Separator"), m_sceneSeparator);
    form->addRow(tr("Include Blank Scenes"), m_includeBlankScenes);
}

void SettingsViewController::viewDidLoad()
{
    ViewController::viewDidLoad();
    setTitle(Title);
    showValues(storedValues());
}

void SettingsViewController::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    // The holder is known only once the sheet sits in its navigation controller, which is before it appears.
    SheetChrome::styleBar(this, m_closeButton);
    applyColors();
}

void SettingsViewController::viewWillDisappear(bool animated)
{
    writeBack();
    ViewController::viewWillDisappear(animated);
}

void SettingsViewController::done()
{
    dismiss(true);
}

SettingsViewController::Values SettingsViewController::storedValues() const
{
    return Values{
        StatisticsManager::wordsPerPage(m_context, m_projectId),
        SettingsHelper::getAutoIndent(m_context, m_projectId),
        SettingsHelper::getSmartQuotesConversion(m_context, m_projectId),
        SettingsHelper::getWideGutters(m_context, m_projectId),
        SettingsHelper::getSceneSeparator(m_context, m_projectId),
        SettingsHelper::getIncludeBlankScenes(m_context, m_projectId),
    };
}

void SettingsViewController::showValues(const Values& values)
{
    m_wordsPerPage->setText(QString::number(values.wordsPerPage));
    m_autoIndent->setChecked(values.autoIndent);
    m_smartQuotes->setChecked(values.smartQuotes);
    m_wideGutters->setChecked(values.wideGutters);
    m_sceneSeparator->setText(values.sceneSeparator);
    m_includeBlankScenes->setChecked(values.includeBlankScenes);
}

void SettingsViewController::applyColors()
{
    SheetChrome::paintBackground({this, m_contentView}, BackgroundColorHex, BackgroundColorDarkHex);
}

std::optional<qint64> SettingsViewController::enteredWordsPerPage() const
{
    // A number alone, or a number and a blank before whatever the writer adds ("250 words"). A number run into
    // more text ("1,000", "2.5", "1e3") is refused rather than cut to its first digits.
    static const QRegularExpression entry(QStringLiteral("^\\s*([+-]?[0-9]+)(?:\\s.*)?$"));
    const QRegularExpressionMatch match = entry.match(m_wordsPerPage->text());
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint64 value = match.captured(1).toLongLong(&ok);
    if (!ok || value < MinimumWordsPerPage || value > StatisticsManager::MaxWordsPerPage)
        return std::nullopt;
    return value;
}

void SettingsViewController::wordsPerPageEdited()
{
    m_wordsPerPageMessage->setVisible(!enteredWordsPerPage().has_value());
}

void SettingsViewController::stage(const QString& key, const QString& value, QList<ManagedObject*>& records)
{
    SettingsHelper::setValue(m_context, m_projectId, key, value, true);
    if (ProjectSetting* record = SettingsHelper::fetchSetting(m_context, m_projectId, key))
        records.append(record);
}

void SettingsViewController::stageBool(const QString& key, bool shown, bool stored, QList<ManagedObject*>& records)
{
    if (shown != stored)
        stage(key, SettingsHelper::textFromBool(shown), records);
}

void SettingsViewController::writeBack()
{
    // Once per sheet: the disappear hook of a sheet that is closing runs once, but a failed save must not be
    // followed by a second attempt that stages the same values again.
    if (m_written || !m_context || !isViewLoaded())
        return;
    m_written = true;
    // Compared with the store as it is now: a change made elsewhere meanwhile is not overwritten by a value the
    // writer never touched here.
    const Values stored = storedValues();
    QList<ManagedObject*> records;
    if (const std::optional<qint64> words = enteredWordsPerPage(); words && *words != stored.wordsPerPage)
        stage(SettingsHelper::WordsPerPageKey, SettingsHelper::textFromInt(*words), records);
    stageBool(SettingsHelper::AutoIndentKey, m_autoIndent->isChecked(), stored.autoIndent, records);
    stageBool(SettingsHelper::SmartQuotesConversionKey, m_smartQuotes->isChecked(), stored.smartQuotes, records);
    stageBool(SettingsHelper::WideGuttersKey, m_wideGutters->isChecked(), stored.wideGutters, records);
    if (m_sceneSeparator->text() != stored.sceneSeparator)
        stage(SettingsHelper::SceneSeparatorKey, m_sceneSeparator->text(), records);
    stageBool(SettingsHelper::IncludeBlankScenesKey, m_includeBlankScenes->isChecked(), stored.includeBlankScenes,
              records);
    if (records.isEmpty())
        return;
    // The warning goes over the screen the writer returns to; this sheet is on its way out.
    QWidget* presenter = presentingViewController();
    DbHelpers::saveManagedObjects(m_context, records, presenter ? presenter : window());
}
