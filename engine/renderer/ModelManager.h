#pragma once

#include "renderer/Model.h"

#include <map>
#include <memory>
#include <string>

namespace vexa {

// Model cache: each file is read at most once per run; every request for the
// same name returns the same Model. Entries are never removed.
class ModelManager {
public:
    std::shared_ptr<Model> Get(const std::string& filename);

private:
    std::map<std::string, std::shared_ptr<Model>> m_models;
};

extern ModelManager g_modelManager;

}  // namespace vexa
