#pragma once

#include "platform/store/ManagedObjectModel.h"

// The application's record types as the store's model.
class StoreModel {
public:
    // Raise whenever an entity or attribute is added, so that older files migrate forward.
    static constexpr int Version = 1;

    static ManagedObjectModel model();
};
