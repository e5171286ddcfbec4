#pragma once

#include <QString>

// One notice to show at once. Notices with the same identifier replace each other on screen.
struct UserNotificationRequest {
    QString identifier;
    QString title;
    QString body;
    bool playsDefaultSound = true;
};
