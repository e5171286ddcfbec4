#include "Achievement.h"

#include <utility>

Achievement::Achievement(QString tag, QString label, QString imageStem, MetricType metricType, qint64 metric)
    : m_tag(std::move(tag)), m_label(std::move(label)), m_imageStem(std::move(imageStem)),
      m_achieved(QDateTime::fromMSecsSinceEpoch(0, Qt::UTC)), m_metricType(metricType), m_metric(metric)
{
}

bool Achievement::isAchieved() const
{
    return m_achieved.isValid() && m_achieved.toMSecsSinceEpoch() != 0;
}

QString Achievement::image() const
{
    return m_imageStem + QStringLiteral(".png");
}

QString Achievement::shareImage() const
{
    return m_imageStem + QStringLiteral("-share.png");
}

QString Achievement::placeholder() const
{
    return m_imageStem + QStringLiteral("-placeholder.png");
}
