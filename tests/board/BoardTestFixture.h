#pragma once

#include "board/CardListModel.h"
#include "board/CardOpening.h"
#include "board/PvCardViewController.h"
#include "core/AppDelegate.h"
#include "core/DbHelpers.h"
#include "core/Project.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "core/ToolbarDelegate.h"
#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/Delays.h"
#include "platform/ProgressHud.h"
#include "platform/Toolbar.h"
#include "platform/UserDefaults.h"
#include "platform/Uuid.h"
#include "platform/store/ManagedObjectContext.h"

#include "TestKeyboard.h"
#include "TestWait.h"
#include <QApplication>
#include <QListView>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// What the board asked the card opener to do, in order.
class RecordingOpening : public CardOpening {
public:
    void openNewCard(PvCardViewController*, const NewCard& card) override { newCards.append(card); }
    void openCard(PvCardViewController*, ProjectItem* item, int row) override
    {
        opened.append(item->uniqueIdentifier());
        openedRows.append(row);
    }
    void openRecovered(PvCardViewController*, const RecoveredCard& card) override { recovered.append(card); }

    QList<NewCard> newCards;
    QStringList opened;
    QList<int> openedRows;
    QList<RecoveredCard> recovered;
};

// The application launched on a fresh store with the project "Harbour": at its root the folder "Part One"
// (which holds the Story card "Inside" and the folder "Chapter" with one card) and twelve cards after it; the
// board on it, not yet on screen, with a recording card opener.
class BoardTestFixture : public ::testing::Test {
protected:
    BoardTestFixture()
        : app(std::make_unique<AppDelegate>(dir.filePath(QStringLiteral("CardStore.sqlite")))),
          running(*qobject_cast<QApplication*>(QCoreApplication::instance()), *app)
    {
        Delays::setFactor(0);
        app->didFinishLaunching();
        EXPECT_TRUE(
            waitFor([&] { return app->toolbar()->indexOfItemWithIdentifier(ToolbarDelegate::newProject) == 0; }));
        UserDefaults::standard().removeObject(PvCardViewController::PrefItemFilter);
        UserDefaults::standard().removeObject(PvCardViewController::PrefItemFilterParm);
        UserDefaults::standard().setValue(PvCardViewController::PrefCompactCards, false);
        app->currentSearchText.clear();
        seed();
        board = new PvCardViewController;
        board->setCurrentProjectId(project);
        board->setCurrentFolderId(ItemIds::Top);
        board->setCurrentTitle(QStringLiteral("Harbour"));
        board->setCardOpening(opening);
        board->resize(1040, 700);
    }
    void TearDown() override
    {
        EXPECT_EQ(background.moments(), 0) << "the application went to the background during the test";
    }
    ~BoardTestFixture() override
    {
        if (board->isOnScreen())
            ViewController::transitionAppearance(board, false, false);
        delete board;
        for (Alert* alert : Alert::presented())
            alert->close();
        app.reset();
        ProgressHud::reset();
        Delays::setFactor(1);
    }

    ManagedObjectContext* context() const { return app->managedObjectContext(); }
    ProjectItem* add(qint64 type, const QString& title, qint64 order, const QString& parent = ItemIds::Top)
    {
        auto* item = context()->insertNew<ProjectItem>();
        item->setUniqueIdentifier(Uuid::uuidString());
        item->setProjectId(project);
        item->setParentItemId(parent);
        item->setItemType(type);
        item->setTitle(title);
        item->setTerms(QStringLiteral(" ") + title.toLower());
        item->setDisplayOrder(order);
        return item;
    }
    void seed()
    {
        auto* record = context()->insertNew<Project>();
        record->setUniqueIdentifier(project);
        record->setProjectTitle(QStringLiteral("Harbour"));
        record->setDisplayOrder(1);
        partOne = add(ProjectItemTypes::Folder, QStringLiteral("Part One"), 1)->uniqueIdentifier();
        add(ProjectItemTypes::Story, QStringLiteral("Inside"), 1, partOne);
        chapter = add(ProjectItemTypes::Folder, QStringLiteral("Chapter"), 2, partOne)->uniqueIdentifier();
        add(ProjectItemTypes::Idea, QStringLiteral("Deep"), 1, chapter);
        const qint64 types[] = {ProjectItemTypes::Story, ProjectItemTypes::Person,  ProjectItemTypes::Location,
                                ProjectItemTypes::Idea,  ProjectItemTypes::Event,   ProjectItemTypes::Question,
                                ProjectItemTypes::Thing, ProjectItemTypes::Reminder};
        const QStringList names = {"Arrival", "Mara", "Lighthouse", "Storm idea", "The wreck", "Who lit it",
                                   "Lantern", "Call", "Departure",  "Old Tom",    "Fog",       "Tide"};
        for (int i = 0; i < names.size(); ++i)
            add(types[i % 8], names[i], i + 2);
        context()->save();
    }
    // The board on screen with its folder loaded.
    void appear()
    {
        board->show();
        QSignalSpy reloaded(board, &PvCardViewController::boardReloaded);
        ViewController::transitionAppearance(board, true, false);
        ASSERT_TRUE(waitFor([&] { return reloaded.count() >= 1; }));
    }
    // Waits for the next reload behind the progress indicator.
    void waitForReload(const std::function<void()>& action)
    {
        QSignalSpy reloaded(board, &PvCardViewController::boardReloaded);
        action();
        ASSERT_TRUE(waitFor([&] { return reloaded.count() >= 1; }));
    }
    QStringList shownTitles() const
    {
        QStringList list;
        for (int row = 0; row < board->model()->rowCount(); ++row)
            list << board->model()->index(row).data(CardListModel::TitleRole).toString();
        return list;
    }
    int rowOf(const QString& title) const { return int(shownTitles().indexOf(title)); }
    QPoint centerOf(int row) const { return board->collectionView()->visualRect(board->model()->index(row)).center(); }
    void clickRow(int row)
    {
        QTest::mouseClick(board->collectionView()->viewport(), Qt::LeftButton, {}, centerOf(row));
    }
    ProjectItem* item(const QString& title) const
    {
        for (ProjectItem* candidate :
             DbHelpers::getFolders(context(), project) + DbHelpers::getCardsForQuery(context(), project, QString()))
            if (candidate->title() == title)
                return candidate;
        return nullptr;
    }
    // The display orders of every child of the folder as the store holds them.
    QList<qint64> storedOrders(const QString& folderId) const
    {
        QList<qint64> orders;
        for (ProjectItem* child : DbHelpers::getFolderItems(context(), project, folderId))
            orders << child->displayOrder();
        return orders;
    }
    static bool uniqueAndGapless(QList<qint64> orders)
    {
        std::sort(orders.begin(), orders.end());
        for (qsizetype i = 0; i < orders.size(); ++i) {
            if (orders.at(i) != i + 1)
                return false;
        }
        return true;
    }
    QString firstToolbarItem() const
    {
        const QStringList ids = app->toolbar()->itemIdentifiers();
        return ids.isEmpty() ? QString() : ids.first();
    }

    QTemporaryDir dir;
    std::unique_ptr<AppDelegate> app;
    Application running;
    BackgroundWatch background;
    const QString project = QStringLiteral("P-1");
    QString partOne;
    QString chapter;
    std::shared_ptr<RecordingOpening> opening = std::make_shared<RecordingOpening>();
    PvCardViewController* board = nullptr;
};
