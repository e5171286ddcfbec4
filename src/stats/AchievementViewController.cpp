#include "AchievementViewController.h"

#include "BadgeArt.h"
#include "SheetChrome.h"
#include "platform/Alert.h"
#include "platform/BarButtonItem.h"
#include "platform/ColorScheme.h"
#include "platform/NavigationController.h"
#include "platform/Storyboard.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

QString askForLocation(QWidget* parent, const QString& suggestedPath)
{
    return QFileDialog::getSaveFileName(parent, AchievementViewController::SaveImageTitle, suggestedPath,
                                        QStringLiteral("PNG Image (*.png)"));
}

AchievementViewController::SaveLocationChooser& chooser()
{
    static AchievementViewController::SaveLocationChooser instance = askForLocation;
    return instance;
}

QLabel* makeLabel(const char* name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    return label;
}

} // namespace

AchievementViewController::AchievementViewController(QWidget* parent)
    : ViewController(parent), m_header(makeLabel("header", this)), m_imageView(makeLabel("imageView", this)),
      m_text(makeLabel("text", this)), m_tip(makeLabel("tip", this)), m_shareButton(new QPushButton(ShareTitle, this))
{
    setObjectName(QStringLiteral("AchievementViewController"));
    setPreferredContentSize(QSize(460, 560));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 24);
    layout->setSpacing(14);
    QFont headerFont = m_header->font();
    headerFont.setPointSizeF(headerFont.pointSizeF() * 1.8);
    headerFont.setBold(true);
    m_header->setFont(headerFont);
    QFont textFont = m_text->font();
    textFont.setPointSizeF(textFont.pointSizeF() * 1.2);
    m_text->setFont(textFont);
    m_shareButton->setObjectName(QStringLiteral("shareButton"));
    auto* menu = new QMenu(m_shareButton);
    menu->setObjectName(QStringLiteral("shareMenu"));
    menu->addAction(CopyTitle, this, &AchievementViewController::copyToClipboard);
    menu->addAction(SaveImageTitle, this, [this] { saveImage(); });
    m_shareButton->setMenu(menu);
    m_tip->setText(TipText);

    layout->addWidget(m_header);
    layout->addWidget(m_imageView, 1);
    layout->addWidget(m_text);
    layout->addWidget(m_tip);
    layout->addWidget(m_shareButton, 0, Qt::AlignHCenter);
    connect(ColorScheme::instance(), &ColorScheme::changed, this, [this] { applyColors(); });
}

void AchievementViewController::registerInStoryboard()
{
    Storyboard::registerFactory(StoryboardIdentifier, [] { return new AchievementViewController; });
}

AchievementViewController* AchievementViewController::present(ViewController* from, const Achievement& achievement,
                                                              const std::optional<QString>& projectTitle, bool existing)
{
    auto* screen = qobject_cast<AchievementViewController*>(Storyboard::instantiate(StoryboardIdentifier));
    if (!screen)
        screen = new AchievementViewController;
    screen->setAchievement(achievement);
    screen->setProjectTitle(projectTitle);
    screen->setExisting(existing);
    from->present(new NavigationController(screen), true, {}, PresentationStyle::FormSheet);
    return screen;
}

void AchievementViewController::setSaveLocationChooser(SaveLocationChooser newChooser)
{
    chooser() = newChooser ? std::move(newChooser) : askForLocation;
}

void AchievementViewController::viewDidLoad()
{
    ViewController::viewDidLoad();
    m_header->setText(m_existing ? ExistingHeader : NewHeader);
    setTitle(m_header->text());
    if (!m_achievement)
        return;
    const QImage badge = BadgeArt::image(m_achievement->image(), BadgeSide * devicePixelRatio());
    QPixmap pixmap = QPixmap::fromImage(badge);
    pixmap.setDevicePixelRatio(devicePixelRatio());
    m_imageView->setPixmap(pixmap);
    m_imageView->setAccessibleName(m_achievement->label());
    m_text->setText(QStringLiteral("You've earned the %1 achievement!").arg(m_achievement->label()));
}

void AchievementViewController::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    SheetChrome::styleBar(this, m_closeButton);
    applyColors();
    // A badge opened again needs no word on where badges are kept.
    if (m_existing && m_tip) {
        delete m_tip;
        m_tip = nullptr;
    }
}

void AchievementViewController::applyColors()
{
    SheetChrome::paintBackground({this}, BackgroundColorHex, BackgroundColorDarkHex);
}

void AchievementViewController::done()
{
    dismiss(true);
}

QString AchievementViewController::shareText() const
{
    const QString label = m_achievement ? m_achievement->label() : QString();
    const QString title = m_projectTitle && !m_projectTitle->isEmpty() ? *m_projectTitle : UntitledTitle;
    return QStringLiteral("I earned the %1 achievement for my story \"%2\"!").arg(label, title);
}

QImage AchievementViewController::shareImage() const
{
    return m_achievement ? BadgeArt::image(m_achievement->shareImage()) : QImage();
}

void AchievementViewController::copyToClipboard()
{
    auto* data = new QMimeData;
    data->setText(shareText());
    data->setImageData(shareImage());
    QApplication::clipboard()->setMimeData(data);
}

bool AchievementViewController::saveImage()
{
    if (!m_achievement)
        return false;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    QString name = m_achievement->label();
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString path = chooser()(this, QDir(folder).filePath(name + QStringLiteral(".png")));
    if (path.isEmpty())
        return false;
    // Written under a temporary name and moved into place only when whole.
    QSaveFile file(path);
    QString error;
    if (!file.open(QIODevice::WriteOnly))
        error = file.errorString();
    else if (!shareImage().save(&file, "PNG"))
        error = tr("The picture could not be written.");
    else if (!file.commit())
        error = file.errorString();
    if (error.isEmpty())
        return true;
    auto* alert = new Alert(SaveFailedTitle, error);
    alert->addAction(QStringLiteral("OK"), AlertActionStyle::Default);
    alert->present(this);
    return false;
}
