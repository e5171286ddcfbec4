#include "QueryGenerationPin.h"

#include "platform/store/ManagedObjectContext.h"

QueryGenerationPin::QueryGenerationPin(ManagedObjectContext* context, QObject* screen)
    : QObject(screen), m_context(context)
{
    if (!m_context || m_context->isPinned())
        return;
    m_context->setQueryGenerationFromToken(m_context->currentQueryGenerationToken());
    m_holds = true;
}

QueryGenerationPin::~QueryGenerationPin()
{
    release();
}

void QueryGenerationPin::release()
{
    if (m_holds && m_context)
        m_context->setQueryGenerationFromToken(std::nullopt);
    m_holds = false;
}

QueryGenerationPin* QueryGenerationPin::pinWhileShown(ManagedObjectContext* context, QObject* screen)
{
    if (!context || !screen)
        return nullptr;
    return new QueryGenerationPin(context, screen);
}
