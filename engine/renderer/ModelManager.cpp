#include "ModelManager.h"

#include "core/GlobalOrder.h"

#include <utility>

namespace vexa {

VEXA_GLOBAL_ORDER(5) ModelManager g_modelManager;

std::shared_ptr<Model> ModelManager::Get(const std::string& filename) {
    auto found = m_models.find(filename);
    if (found == m_models.end()) {
        // Kept even when the file is broken, so the problem is reported once
        // rather than at every request.
        auto model = std::make_shared<Model>();
        model->Load(filename);
        found = m_models.emplace(filename, std::move(model)).first;
    }
    return found->second;
}

}  // namespace vexa
