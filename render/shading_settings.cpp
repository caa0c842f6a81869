// Which setting of which renderer each shading row binds.
#include "render/shading_settings.h"

#include "render/gas.h"
#include "render/light.h"
#include "render/solid.h"
#include "resources/strings.h"

namespace vorticel {

std::vector<ShadingSetting> ShadingSettings(Renderer& renderer) {
    // Limits well beyond the sliders: each setting is a divisor or an exponent somewhere, so
    // 0 or a negative value leaves nothing to see.
    // A class counts with its descendants: liquid is a gas, plasma a light.
    if (auto* solid = dynamic_cast<SolidRenderer*>(&renderer)) {
        return {{kStrOpacity, "opacity", &solid->opacity_, 1.0f, 10.0f, 0.001f, 1000.0f},
                {kStrGamma, "gamma", &solid->gamma_, 1.0f, 5.0f, 0.01f, 100.0f},
                {kStrRoughness, "roughness", &solid->roughness_, 0.001f, 0.3f, 0.0001f, 10.0f}};
    }
    if (auto* gas = dynamic_cast<GasRenderer*>(&renderer)) {
        return {{kStrLuminosity, "brightness", &gas->brightness_, 1.0f, 10.0f, 0.001f, 1000.0f},
                {kStrGamma, "gamma", &gas->gamma_, 1.0f, 5.0f, 0.01f, 100.0f}};
    }
    if (auto* light = dynamic_cast<LightRenderer*>(&renderer)) {
        return {{kStrLuminosity, "brightness", &light->brightness_, 1.0f, 10.0f, 0.001f, 1000.0f},
                {kStrGamma, "gamma", &light->gamma_, 1.0f, 5.0f, 0.01f, 100.0f}};
    }
    return {};
}

} // namespace vorticel
