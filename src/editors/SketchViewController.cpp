#include "SketchViewController.h"

#include "EditorPeek.h"

void SketchViewController::registerInStoryboard(std::shared_ptr<EditorBoardLink> link)
{
    EditorPeek::registerEditor<SketchViewController>(StoryboardIdentifier, std::move(link));
}
