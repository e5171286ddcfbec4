#pragma once

#include <QImage>
#include <QString>

// The default cover of a project without a picture of its own ("project_bg.png"), drawn by us: index cards
// on a board in the application's accent colours. Drawn once per process and kept.
class ProjectCoverArt {
public:
    static inline const QString DefaultCoverName = QStringLiteral("project_bg.png");
    static constexpr int Width = 600;
    static constexpr int Height = 1000;

    static QImage defaultCover();

private:
    static QImage draw();
};
