#pragma once

#include "platform/Alert.h"

#include <QPointer>
#include <memory>

// The base of the item operations (rename, move, delete, information, create). An operation is owned
// through a shared pointer: the screen that starts it may drop its reference at once, for the buttons of
// the dialog it shows hold it until the dialog is gone.
class iCloudAwareDialog : public std::enable_shared_from_this<iCloudAwareDialog> {
public:
    virtual ~iCloudAwareDialog() = default;

    // Hooks around an open dialog for a store-merge observer; no operation registers one yet.
    virtual void setupObservers() {}
    virtual void tearDownObservers() {}

    // The alert the operation is showing, while it is on screen.
    Alert* dialogView() const { return m_dialogView; }

protected:
    iCloudAwareDialog() = default;

    void setDialogView(Alert* alert) { m_dialogView = alert; }

    // This operation as the derived type, for the closures that keep it alive.
    template <class T> std::shared_ptr<T> sharedSelf() { return std::static_pointer_cast<T>(shared_from_this()); }

private:
    QPointer<Alert> m_dialogView;
};
