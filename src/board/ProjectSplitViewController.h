#pragma once

#include "platform/ViewController.h"

class QSplitter;

// An open project: the sidebar in the primary column beside the board in the secondary one, both always
// shown side by side. The sidebar never grows past MaximumPrimaryColumnWidth and neither column collapses.
class ProjectSplitViewController : public ViewController {
    Q_OBJECT

public:
    static constexpr int MaximumPrimaryColumnWidth = 250;

    // Takes both screens as its children.
    ProjectSplitViewController(ViewController* primary, ViewController* secondary, QWidget* parent = nullptr);

    ViewController* primaryViewController() const { return m_primary; }
    ViewController* secondaryViewController() const { return m_secondary; }
    QSplitter* splitter() const { return m_splitter; }

private:
    ViewController* m_primary;
    ViewController* m_secondary;
    QSplitter* m_splitter;
};
