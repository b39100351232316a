#include "Actor.h"

#include "core/PortableMath.h"
#include "renderer/Model.h"
#include "renderer/Renderer.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vexa {
namespace {

constexpr double kUnitsAtTop = 16777216.0;    // 2^24: a float's significand, in units
constexpr double kUnitsAtBottom = 8388608.0;  // 2^23

// Takes as many of the `steps` additions at once as keep `value` between two
// powers of two, where float values are evenly spaced: there each addition
// rounds the same way, so n of them add n times one rounded step. Returns
// how many it took; 0 where only a single addition is safe.
std::uint64_t addWithinOctave(float& value, float step, std::uint64_t steps) {
    if (!std::isfinite(value) || !std::isfinite(step) || value == 0.0f || step == 0.0f) return 0;
    int exponent = 0;
    std::frexp(value, &exponent);
    // Near the subnormals and the largest floats the spacing changes otherwise.
    if (exponent < -100 || exponent > 126) return 0;
    // Everything below is exact in double: values and steps in units of the
    // spacing, which is a power of two.
    const double unit = std::ldexp(1.0, exponent - 24);
    const double units = std::fabs(static_cast<double>(value)) / unit;
    const double stepUnits = std::fabs(static_cast<double>(step)) / unit;
    const bool away = (value > 0.0f) == (step > 0.0f);
    const double whole = std::floor(stepUnits);
    const double part = stepUnits - whole;
    double rounded = part < 0.5 ? whole : whole + 1.0;
    if (part == 0.5) {
        // A tie rounds to the even neighbour; from an even value that is the
        // even one of the two steps every time.
        if (std::fmod(units, 2.0) != 0.0) return 0;
        rounded = std::fmod(whole, 2.0) == 0.0 ? whole : whole + 1.0;
    }
    if (rounded == 0.0) return steps;  // each addition rounds back to the value
    // An addition stays on this spacing while its exact sum stays within the
    // octave, its powers of two included.
    const double room = away ? kUnitsAtTop - units - stepUnits : units - stepUnits - kUnitsAtBottom;
    if (room < 0.0) return 0;
    double last = std::floor(room / rounded);
    while (last > 0.0 && last * rounded > room) last -= 1.0;
    while ((last + 1.0) * rounded <= room) last += 1.0;
    const std::uint64_t taken = std::min(steps, static_cast<std::uint64_t>(last) + 1);
    const double moved = static_cast<double>(taken) * rounded;
    const double result = (away ? units + moved : units - moved) * unit;
    value = static_cast<float>(std::copysign(result, static_cast<double>(value)));
    return taken;
}

}  // namespace

Actor::Actor(const Transform& transform, std::shared_ptr<Model> model)
    : m_transform{transform}, m_previousTransform{transform}, m_model{std::move(model)} {}

Actor::Actor(const Transform& transform) : m_transform{transform}, m_previousTransform{transform} {}

void Actor::Update(float dt) {
    m_previousTransform = m_transform;
    if (m_lifespan != -1.0f) {
        m_lifespan -= dt;
        m_destroyed = m_lifespan <= 0.0f;
    }
    m_transform.position += m_velocity * dt;
    // A power of dt keeps the decay the same at any frame rate. Without damping
    // the factor is pow(1, dt), which is exactly 1 for every dt, so it is skipped.
    if (m_damping != 0.0f) m_velocity *= Vector2(portable::Pow(1.0f - m_damping, dt));
}

void Actor::Draw(Renderer& renderer) {
    if (m_model) m_model->Draw(renderer, m_transform);
}

void Actor::OnCollision(Actor* /*other*/) {}

void Actor::CatchUp(std::uint64_t steps, float dt) {
    if (steps == 0) return;
    const Vector2 moved = m_velocity * dt;
    Vector2 previous = m_transform.position;
    Vector2 position = previous;
    // The first step as the updates take it. After it, adding a zero move
    // leaves every value as it is (a zero only gains the sign the first step
    // gave it), so the drift alone adds up.
    position += moved;
    position += m_restingDrift;
    if (steps > 1 && moved.x == 0.0f && moved.y == 0.0f) {
        previous = Vector2(AddedRepeatedly(position.x, m_restingDrift.x, steps - 2),
                           AddedRepeatedly(position.y, m_restingDrift.y, steps - 2));
        position = previous;
        position += moved;
        position += m_restingDrift;
    } else {
        for (std::uint64_t step = 1; step < steps; ++step) {
            previous = position;
            position += moved;
            position += m_restingDrift;
        }
    }
    m_previousTransform = m_transform;
    m_previousTransform.position = previous;
    m_transform.position = position;
}

float Actor::AddedRepeatedly(float start, float step, std::uint64_t steps) {
    float value = start;
    while (steps > 0) {
        const std::uint64_t taken = addWithinOctave(value, step, steps);
        if (taken > 0) {
            steps -= taken;
            continue;
        }
        const float next = value + step;
        --steps;
        // A value an addition leaves as it was (NaN included) stays so.
        if (next == value || (std::isnan(next) && std::isnan(value))) return next;
        value = next;
    }
    return value;
}

bool Actor::SettleDrifting(const Vector2& drift) {
    if (m_destroyed || m_lifespan != -1.0f || m_damping != 0.0f || m_velocity.x != 0.0f ||
        m_velocity.y != 0.0f) {
        return false;
    }
    if (!(drift.x <= 0.0f) || drift.y != 0.0f) return false;
    const float radius = m_model ? m_model->GetRadius() : 0.0f;
    const Vector2& now = m_transform.position;
    const Vector2& before = m_previousTransform.position;
    if (!g_renderer.LeftOfView(now.x, now.y, radius * m_transform.scale) ||
        !g_renderer.LeftOfView(before.x, before.y, radius * m_previousTransform.scale)) {
        return false;
    }
    m_restingDrift = drift;
    return true;
}

}  // namespace vexa
