#pragma once

// What the application tells its delegate as it starts, comes to the front, goes behind and ends.
class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;

    // Runs once the event loop exists and before it starts; false ends the start-up.
    virtual bool didFinishLaunching() = 0;
    virtual void didBecomeActive() {}
    virtual void didEnterBackground() {}
    // Runs while the event loop can still deliver work, before the process ends.
    virtual void willTerminate() {}
};
