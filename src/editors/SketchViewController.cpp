#include "SketchViewController.h"

#include "platform/Storyboard.h"

void SketchViewController::registerInStoryboard()
{
    Storyboard::registerFactory(StoryboardIdentifier, [] { return new SketchViewController; });
}
