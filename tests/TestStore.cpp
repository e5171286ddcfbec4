#include "TestStore.h"

#include "core/StoreModel.h"

#include <gtest/gtest.h>

TestStore::TestStore()
{
    reopen();
}

void TestStore::reopen()
{
    m_container.reset();
    m_container = std::make_unique<PersistentContainer>(QStringLiteral("CardStore"), StoreModel::model());
    auto error = m_container->loadPersistentStores(path());
    if (error)
        ADD_FAILURE() << "store did not open: " << error->description().toStdString();
}
