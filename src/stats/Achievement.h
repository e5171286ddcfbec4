#pragma once

#include "MetricType.h"

#include <QDateTime>
#include <QString>

class AchievementsManager;

// One achievement a project can earn: what it is called, the figure and threshold that earn it, its
// badge images and when it was earned. Only AchievementsManager makes them.
class Achievement {
public:
    // The full tag, "achievement." and the tag word; also the name of its stored setting.
    const QString& tag() const { return m_tag; }
    const QString& label() const { return m_label; }
    // The moment it was earned; the 1970 epoch when it was not.
    const QDateTime& achieved() const { return m_achieved; }
    bool isAchieved() const;
    // Names of the image resources: the badge, the picture to share and the badge while not earned.
    QString image() const;
    QString shareImage() const;
    QString placeholder() const;
    MetricType metricType() const { return m_metricType; }
    qint64 metric() const { return m_metric; }

private:
    friend class AchievementsManager;

    Achievement(QString tag, QString label, QString imageStem, MetricType metricType, qint64 metric);
    void setAchieved(const QDateTime& achieved) { m_achieved = achieved; }

    QString m_tag;
    QString m_label;
    QString m_imageStem;
    QDateTime m_achieved;
    MetricType m_metricType;
    qint64 m_metric;
};
