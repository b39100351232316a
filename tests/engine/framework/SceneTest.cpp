#include "framework/Scene.h"

#include "TempDir.h"
#include "renderer/Model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using vexa::Actor;
using vexa::Scene;
using vexa::Transform;
using vexa::Vector2;

namespace {

using Log = std::vector<std::string>;

// Writes every update, collision and destruction into a shared log by name.
class Probe : public Actor {
public:
    Probe(std::string name, Log& log, const Vector2& position = Vector2(),
          std::shared_ptr<vexa::Model> model = {}, float scale = 1.0f)
        : Actor(Transform(position, 0.0f, scale), std::move(model)),
          m_name{std::move(name)},
          m_log{log} {}
    ~Probe() override { m_log.push_back("gone " + m_name); }

    void Update(float dt) override {
        Actor::Update(dt);
        m_log.push_back("update " + m_name);
        if (m_finishOnUpdate) m_destroyed = true;
    }

    void OnCollision(Actor* other) override {
        m_log.push_back(m_name + ":" + static_cast<Probe*>(other)->m_name);
        if (m_onCollision) m_onCollision(*static_cast<Probe*>(other));
    }

    std::string m_name;
    Log& m_log;
    bool m_finishOnUpdate = false;
    std::function<void(Probe& other)> m_onCollision;
};

class Marked : public Probe {
    using Probe::Probe;
};

Probe* Add(Scene& scene, std::unique_ptr<Probe> actor) {
    Probe* raw = actor.get();
    scene.Add(std::move(actor));
    return raw;
}

Probe* Add(Scene& scene, const std::string& name, Log& log) {
    return Add(scene, std::make_unique<Probe>(name, log));
}

}  // namespace

TEST(Scene, ActorIsErasedRightAfterTheUpdateThatFindsItFlagged) {
    Log log;
    Scene scene;
    Add(scene, "a", log)->m_finishOnUpdate = true;
    Add(scene, "b", log);
    Probe* c = Add(scene, "c", log);
    c->m_destroyed = true;  // as another actor's collision would
    Add(scene, "d", log);
    EXPECT_EQ(c->m_scene, &scene);

    scene.Update(0.1f);
    EXPECT_EQ(log, (Log{"update a", "gone a", "update b", "update c", "gone c", "update d", "b:d",
                        "d:b"}));
    EXPECT_EQ(scene.Count(), 2u);

    log.clear();
    scene.RemoveAll();
    EXPECT_EQ(log, (Log{"gone b", "gone d"}));
    EXPECT_EQ(scene.Count(), 0u);
    scene.RemoveAll();
    scene.Update(0.1f);
}

TEST(Scene, EachTouchingPairIsToldOncePerFrameEarlierActorFirst) {
    Log log;
    Scene scene;
    Add(scene, "a", log);
    Add(scene, "b", log);
    Add(scene, "c", log);
    Add(scene, std::make_unique<Probe>("far", log, Vector2(0.001f, 0.0f)));

    // Without models only equal positions touch.
    for (int frame = 0; frame < 2; ++frame) {
        log.clear();
        scene.Update(0.0f);
        EXPECT_EQ(log, (Log{"update a", "update b", "update c", "update far", "a:b", "b:a", "a:c",
                            "c:a", "b:c", "c:b"}));
    }
}

TEST(Scene, ActorAddedDuringCollisionsMeetsTheCurrentActorAndEveryLaterOne) {
    Log log;
    Scene scene;
    Add(scene, "a", log);
    Probe* b = Add(scene, "b", log);
    Add(scene, "c", log);
    b->m_onCollision = [&](Probe& other) {
        if (other.m_name == "c" && scene.Count() == 3) Add(scene, "new", log);
    };

    scene.Update(0.0f);
    EXPECT_EQ(log, (Log{"update a", "update b", "update c", "a:b", "b:a", "a:c", "c:a", "b:c",
                        "c:b", "b:new", "new:b", "c:new", "new:c"}));
}

TEST(Scene, ActorsCollideWhenTheirReachEqualsTheirDistance) {
    testing_support::TempDir dir;
    testing_support::ScopedWorkingDirectory cwd(dir.Path());
    dir.Write("unit.txt", "{1,1,1}\n2\n{1,0}\n{0,0}\n");
    auto unit = std::make_shared<vexa::Model>();
    unit->Load("unit.txt");

    // Radii 1 and 2 reach exactly 3; the second position is one step farther.
    for (const float x : {13.0f, std::nextafter(13.0f, 100.0f)}) {
        Log log;
        Scene scene;
        Add(scene, std::make_unique<Probe>("a", log, Vector2(10.0f, 10.0f), unit, 1.0f));
        Add(scene, std::make_unique<Probe>("b", log, Vector2(x, 10.0f), unit, 2.0f));
        scene.Update(0.0f);
        const bool collided = log.size() > 2;
        EXPECT_EQ(collided, x == 13.0f) << "b at x " << x;
    }
}

TEST(Scene, GetActorFindsTheFirstOfTheTypeEvenWhenFlagged) {
    Log log;
    Scene scene;
    EXPECT_EQ(scene.GetActor<Marked>(), nullptr);
    Add(scene, "plain", log);
    EXPECT_EQ(scene.GetActor<Marked>(), nullptr);

    Probe* first = Add(scene, std::make_unique<Marked>("first", log));
    Add(scene, std::make_unique<Marked>("second", log));
    first->m_destroyed = true;
    EXPECT_EQ(scene.GetActor<Marked>(), first);
    EXPECT_EQ(static_cast<Probe*>(scene.GetActor<Actor>())->m_name, "plain");
}

// Assertions are compiled into the debug and sanitizer builds only.
TEST(SceneDeathTest, WalksThatWouldBreakStopTheProgram) {
#ifdef NDEBUG
    GTEST_SKIP() << "assertions are compiled out of this build";
#else
    Log log;
    Scene scene;
    EXPECT_DEATH(scene.Add(nullptr), "takes an actor");

    Probe* a = Add(scene, "a", log);
    Add(scene, "b", log);
    a->m_onCollision = [&](Probe&) { scene.RemoveAll(); };
    EXPECT_DEATH(scene.Update(0.0f), "RemoveAll would erase");
    a->m_onCollision = [&](Probe&) { scene.Update(0.0f); };
    EXPECT_DEATH(scene.Update(0.0f), "called from inside itself");
    EXPECT_DEATH(scene.ForEach([&](Actor&) { Add(scene, "c", log); }), "must not add actors");
    EXPECT_DEATH(scene.ForEach([&](Actor&) { scene.RemoveAll(); }), "RemoveAll would erase");

    // None of that happened here, outside the forked children.
    a->m_onCollision = nullptr;
    scene.ForEach([](Actor&) {});
    scene.Update(0.0f);
    scene.RemoveAll();
    EXPECT_EQ(scene.Count(), 0u);
#endif
}
