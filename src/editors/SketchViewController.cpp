#include "SketchViewController.h"

#include "EditorPeek.h"

#include "platform/Storyboard.h"

void SketchViewController::registerInStoryboard(std::shared_ptr<EditorBoardLink> link)
{
    Storyboard::registerFactory(StoryboardIdentifier, [link] {
        auto* editor = new SketchViewController;
        editor->peek().setBoardLink(link);
        return editor;
    });
}
