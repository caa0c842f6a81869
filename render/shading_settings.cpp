// Which setting of which renderer each shading row binds.
#include "render/shading_settings.h"

#include "render/gas.h"
#include "render/light.h"
#include "render/solid.h"
#include "resources/strings.h"

namespace vorticel {

std::vector<ShadingSetting> ShadingSettings(Renderer& bitmap) {
    // A class counts with its descendants: liquid is a gas, plasma a light.
    if (auto* solid = dynamic_cast<SolidRenderer*>(&bitmap)) {
        return {{kStrOpacity, "opacity", &solid->opacity_, 1.0f, 10.0f},
                {kStrGamma, "gamma", &solid->gamma_, 1.0f, 5.0f},
                {kStrRoughness, "roughness", &solid->roughness_, 0.001f, 0.3f}};
    }
    if (auto* gas = dynamic_cast<GasRenderer*>(&bitmap)) {
        return {{kStrLuminosity, "brightness", &gas->brightness_, 1.0f, 10.0f},
                {kStrGamma, "gamma", &gas->gamma_, 1.0f, 5.0f}};
    }
    if (auto* light = dynamic_cast<LightRenderer*>(&bitmap)) {
        return {{kStrLuminosity, "brightness", &light->brightness_, 1.0f, 10.0f},
                {kStrGamma, "gamma", &light->gamma_, 1.0f, 5.0f}};
    }
    return {};
}

} // namespace vorticel
