#pragma once

#include "platform/ViewController.h"

#include <QString>

class QLabel;

// The board area of an open project while the card board itself is not part of the application: it carries
// the board's opening state and shows the project's title over an empty board.
class EmptyBoardViewController : public ViewController {
    Q_OBJECT
    Q_PROPERTY(QString currentFolderId READ currentFolderId WRITE setCurrentFolderId)
    Q_PROPERTY(QString currentProjectId READ currentProjectId WRITE setCurrentProjectId)
    Q_PROPERTY(QString currentProjectTitle READ currentProjectTitle WRITE setCurrentProjectTitle)
    Q_PROPERTY(QString currentTitle READ currentTitle WRITE setCurrentTitle)

public:
    explicit EmptyBoardViewController(QWidget* parent = nullptr);

    QString currentFolderId() const { return m_currentFolderId; }
    void setCurrentFolderId(const QString& id) { m_currentFolderId = id; }
    QString currentProjectId() const { return m_currentProjectId; }
    void setCurrentProjectId(const QString& id) { m_currentProjectId = id; }
    QString currentProjectTitle() const { return m_currentProjectTitle; }
    void setCurrentProjectTitle(const QString& title) { m_currentProjectTitle = title; }
    QString currentTitle() const { return m_currentTitle; }
    // Also the heading over the board.
    void setCurrentTitle(const QString& title);

    QLabel* titleLabel() const { return m_titleLabel; }

protected:
    void viewWillAppear(bool animated) override;

private:
    QString m_currentFolderId;
    QString m_currentProjectId;
    QString m_currentProjectTitle;
    QString m_currentTitle;
    QLabel* m_titleLabel;
};
