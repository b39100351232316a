// The scene's collision pass against the plain walk over every pair: random
// scenes, played side by side, must make the same OnCollision calls in the same
// order and end with the same actors in the same places.
#include "framework/Scene.h"

#include "AllPairsScene.h"
#include "TempDir.h"
#include "renderer/Model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <iterator>
#include <list>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using vexa::Actor;
using vexa::Transform;
using vexa::Vector2;

namespace {

// The walk over every pair is the definition of the right answer.
using ReferenceScene = testing_support::AllPairsScene;

// How often, in percent of OnCollision calls, a body does each thing.
struct Habits {
    int append = 0;
    int flagOther = 0;
    int moveSelf = 0;
    int resizeSelf = 0;
    int moveOther = 0;
    int moveAny = 0;
    // Percent of updates in which a body moves the first actor (found with
    // GetActor) or any actor (found by walking the scene).
    int moveInUpdate = 0;
};

class Body;

// One side of the comparison: its log, its own random stream (both sides draw
// in the same order only while they make the same calls) and its scene.
struct World {
    std::vector<std::pair<int, int>> log;
    std::mt19937 rng;
    Habits habits;
    int nextId = 0;
    int appendBudget = 0;
    std::shared_ptr<vexa::Model> unit;
    std::function<void(std::unique_ptr<Actor>)> add;
    // The actor at a list position, reached through the scene as game code would.
    std::function<Actor*(std::size_t)> pick;
    std::function<Actor*()> first;
    int appended = 0;
    int moved = 0;
};

std::unique_ptr<Body> MakeBody(World& world, const Vector2& position, float scale, bool withModel);

class Body : public Actor {
public:
    Body(World& world, int id, const Vector2& position, float scale, bool withModel)
        : Actor(Transform(position, 0.0f, scale),
                withModel ? world.unit : std::shared_ptr<vexa::Model>{}),
          m_id{id},
          m_world{world} {}

    void Update(float dt) override {
        Actor::Update(dt);
        if (m_world.habits.moveInUpdate == 0) return;
        const int roll = static_cast<int>(m_world.rng() % 200);
        if (roll < m_world.habits.moveInUpdate) {
            if (Actor* first = m_world.first()) Nudge(static_cast<Body&>(*first));
        } else if (roll < 2 * m_world.habits.moveInUpdate) {
            if (Actor* any = m_world.pick(m_world.rng())) Nudge(static_cast<Body&>(*any));
        }
    }

    void OnCollision(Actor* other) override {
        auto& body = static_cast<Body&>(*other);
        m_world.log.emplace_back(m_id, body.m_id);
        const Habits& h = m_world.habits;
        int roll = static_cast<int>(m_world.rng() % 100);
        if ((roll -= h.append) < 0) return Append();
        if ((roll -= h.flagOther) < 0) {
            body.m_destroyed = true;
            return;
        }
        if ((roll -= h.moveSelf) < 0) return Nudge(*this);
        if ((roll -= h.resizeSelf) < 0) {
            m_transform.scale = static_cast<float>(m_world.rng() % 7) * 0.5f;
            ++m_world.moved;
            return;
        }
        if ((roll -= h.moveOther) < 0) return Nudge(body);
        if ((roll -= h.moveAny) < 0) {
            if (Actor* any = m_world.pick(m_world.rng())) Nudge(static_cast<Body&>(*any));
        }
    }

    int m_id;

private:
    World& m_world;

    // Whole-pixel steps keep exact touching likely after a move.
    void Nudge(Body& body) {
        const auto dx = static_cast<float>(static_cast<int>(m_world.rng() % 41) - 20);
        const auto dy = static_cast<float>(static_cast<int>(m_world.rng() % 41) - 20);
        body.m_transform.position += Vector2(dx, dy);
        ++m_world.moved;
    }

    void Append() {
        if (m_world.appendBudget <= 0) return;
        --m_world.appendBudget;
        const auto dx = static_cast<float>(static_cast<int>(m_world.rng() % 9) - 4);
        const float scale = static_cast<float>(m_world.rng() % 5) * 0.5f;
        const bool withModel = m_world.rng() % 4 != 0;
        m_world.add(MakeBody(m_world, m_transform.position + Vector2(dx, 3.0f), scale, withModel));
        ++m_world.appended;
    }
};

std::unique_ptr<Body> MakeBody(World& world, const Vector2& position, float scale, bool withModel) {
    return std::make_unique<Body>(world, world.nextId++, position, scale, withModel);
}

enum class Layout { Lattice, Spread, Columns, Grazing, Tiny };

// The starting actors of one scene, drawn from `seed`; both sides build theirs
// from the same list.
struct Placement {
    Vector2 position;
    Vector2 velocity;
    float scale;
    bool withModel;
};

std::vector<Placement> Place(std::uint32_t seed, int count, Layout layout) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    // Radii 0 to 17.5 in halves and a few odd ones; sums of halves meet whole
    // and half distances exactly on the lattice.
    const float scales[] = {0.0f, 0.5f, 1.0f, 1.5f, 2.0f, 2.5f, 3.0f, 5.0f, 17.5f, 0.3f};
    std::vector<Placement> placements;
    for (int i = 0; i < count; ++i) {
        Placement p{};
        p.scale = scales[rng() % std::size(scales)];
        p.withModel = rng() % 8 != 0;
        switch (layout) {
        case Layout::Lattice:
            p.position = Vector2(static_cast<float>(rng() % 60), static_cast<float>(rng() % 45));
            break;
        case Layout::Spread:
            p.position = Vector2(unit(rng) * 800.0f, unit(rng) * 600.0f);
            p.velocity = Vector2(unit(rng) * 40.0f - 20.0f, unit(rng) * 40.0f - 20.0f);
            break;
        case Layout::Columns:
            // Waves of five entering at one x, drifting left together.
            p.position = Vector2(800.0f - 300.0f * static_cast<float>(i / 5), unit(rng) * 600.0f);
            p.velocity = Vector2(-75.0f, 0.0f);
            p.scale = i % 5 == 0 && i % 3 == 0 ? 6.0f : 5.0f;
            p.withModel = true;
            break;
        case Layout::Grazing:
            // Every second actor at its neighbour's reach in float, in any
            // direction: rounding alone decides whether they touch.
            p.withModel = true;
            if (i % 2 == 0) {
                p.position = Vector2(unit(rng) * 800.0f, unit(rng) * 600.0f);
            } else {
                const Placement& before = placements.back();
                const float angle = unit(rng) * 6.2831853f;
                const float reach = before.scale + p.scale;
                p.position = before.position + Vector2(std::cos(angle), std::sin(angle)) * reach;
            }
            break;
        case Layout::Tiny:
            // Differences this small square to nothing: all of these touch.
            p.position = Vector2(unit(rng) * 1e-25f, unit(rng) * -1e-25f);
            p.scale = 0.0f;
            break;
        }
        placements.push_back(p);
    }
    return placements;
}

// "id x y scale flagged" per actor, in list order.
template <typename Actors>
std::string Describe(Actors& actors) {
    std::ostringstream out;
    out << std::hexfloat;
    for (auto& actor : actors) {
        const auto& body = static_cast<const Body&>(*actor);
        out << body.m_id << ' ' << body.m_transform.position.x << ' ' << body.m_transform.position.y
            << ' ' << body.m_transform.scale << ' ' << body.m_destroyed << '\n';
    }
    return out.str();
}

class SceneEquivalence : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir.Write("unit.txt", "{1,1,1}\n2\n{1,0}\n{0,0}\n");
        testing_support::ScopedWorkingDirectory cwd(m_dir.Path());
        m_unit = std::make_shared<vexa::Model>();
        m_unit->Load("unit.txt");
        ASSERT_EQ(m_unit->GetRadius(), 1.0f);
    }

    // Plays one scene on both sides for a few frames; returns the number of
    // OnCollision calls so the caller can see the scene did something.
    std::size_t Play(std::uint32_t seed, int count, Layout layout, const Habits& habits) {
        vexa::Scene scene;
        ReferenceScene reference;
        World fast;
        World plain;
        World* worlds[] = {&fast, &plain};
        for (World* world : worlds) {
            world->rng.seed(seed);
            world->habits = habits;
            world->appendBudget = 200;
            world->unit = m_unit;
        }
        fast.add = [&scene](std::unique_ptr<Actor> actor) { scene.Add(std::move(actor)); };
        fast.pick = [&scene](std::size_t k) {
            std::vector<Actor*> listed;
            scene.ForEach([&listed](Actor& actor) { listed.push_back(&actor); });
            return listed.empty() ? nullptr : listed[k % listed.size()];
        };
        plain.add = [&reference](std::unique_ptr<Actor> actor) { reference.Add(std::move(actor)); };
        plain.pick = [&reference](std::size_t k) { return reference.Pick(k); };
        fast.first = [&scene] { return scene.GetActor<Body>(); };
        plain.first = [&reference] { return reference.Pick(0); };

        for (const Placement& p : Place(seed, count, layout)) {
            for (World* world : worlds) {
                auto body = MakeBody(*world, p.position, p.scale, p.withModel);
                body->m_velocity = p.velocity;
                world->add(std::move(body));
            }
        }

        for (int frame = 0; frame < 3; ++frame) {
            scene.Update(1.0f / 60.0f);
            reference.Update(1.0f / 60.0f);
            if (fast.log != plain.log) {
                ADD_FAILURE() << "seed " << seed << " count " << count << " frame " << frame
                              << ": calls differ (" << fast.log.size() << " against "
                              << plain.log.size() << ")";
                return 0;
            }
            std::vector<const Actor*> listed;
            scene.ForEach([&listed](Actor& actor) { listed.push_back(&actor); });
            EXPECT_EQ(Describe(listed), Describe(reference.Actors()))
                << "seed " << seed << " count " << count << " frame " << frame;
        }
        m_appended += fast.appended;
        m_moved += fast.moved;
        return fast.log.size();
    }

    testing_support::TempDir m_dir;
    std::shared_ptr<vexa::Model> m_unit;
    int m_appended = 0;
    int m_moved = 0;
};

}  // namespace

TEST_F(SceneEquivalence, QuietActorsMeetTheSamePairsInTheSameOrder) {
    std::size_t calls = 0;
    std::uint32_t seed = 1;
    for (const int count : {0, 1, 2, 3, 17, 150, 600, 3000}) {
        for (const Layout layout :
             {Layout::Lattice, Layout::Spread, Layout::Columns, Layout::Grazing, Layout::Tiny}) {
            // Too many touching pairs to be worth the time.
            if (count > 600 && (layout == Layout::Lattice || layout == Layout::Tiny)) continue;
            calls += Play(seed++, count, layout, Habits{});
        }
    }
    EXPECT_GT(calls, 10000u);
}

TEST_F(SceneEquivalence, ActorsAddedAndFlaggedDuringThePassJoinItInOrder) {
    Habits habits;
    habits.append = 10;
    habits.flagOther = 10;
    std::size_t calls = 0;
    for (std::uint32_t seed = 100; seed < 130; ++seed) {
        const int count = static_cast<int>(seed % 6) * 120;
        calls += Play(seed, count, seed % 2 ? Layout::Lattice : Layout::Spread, habits);
    }
    calls += Play(131, 2500, Layout::Spread, habits);
    EXPECT_GT(calls, 5000u);
    EXPECT_GT(m_appended, 1000);
}

TEST_F(SceneEquivalence, ActorsMovedOrResizedDuringThePassAreMetWhereTheyAreNow) {
    // Moves of either actor of the pair, of any actor found through the
    // scene, radius changes, and moves of other actors from inside an update;
    // the last mixes take them all together with additions.
    const Habits mixes[] = {
        {0, 0, 4, 0, 0, 0}, {0, 0, 0, 4, 0, 0},    {0, 0, 0, 0, 4, 0},    {0, 0, 0, 0, 0, 4},
        {5, 5, 1, 1, 1, 1}, {0, 0, 0, 0, 0, 0, 1}, {3, 3, 1, 1, 1, 1, 1},
    };
    std::size_t calls = 0;
    std::uint32_t seed = 200;
    for (const Habits& habits : mixes) {
        for (const int count : {2, 40, 300, 1200}) {
            calls += Play(seed++, count, Layout::Lattice, habits);
            calls += Play(seed++, count, Layout::Spread, habits);
        }
    }
    EXPECT_GT(calls, 5000u);
    EXPECT_GT(m_moved, 100);
}

namespace {

class Ship : public Actor {
public:
    Ship() : Actor(Transform(Vector2(), 0.0f, 1.0f)) {}
};

class Rock : public Actor {
public:
    explicit Rock(bool finish = false)
        : Actor(Transform(Vector2(), 0.0f, 1.0f)), m_finish{finish} {}
    void Update(float dt) override {
        Actor::Update(dt);
        if (m_finish) m_destroyed = true;
    }
    bool m_finish;
};

}  // namespace

TEST(Scene, GetActorStaysTheFirstOfItsTypeThroughAddsErasuresAndRemoveAll) {
    vexa::Scene scene;
    EXPECT_EQ(scene.GetActor<Ship>(), nullptr);
    EXPECT_EQ(scene.GetActor<Rock>(), nullptr);

    auto rock = std::make_unique<Rock>(true);
    Rock* finishing = rock.get();
    scene.Add(std::move(rock));
    auto second = std::make_unique<Rock>();
    Rock* staying = second.get();
    scene.Add(std::move(second));
    auto ship = std::make_unique<Ship>();
    Ship* first = ship.get();
    scene.Add(std::move(ship));
    scene.Add(std::make_unique<Ship>());

    EXPECT_EQ(scene.GetActor<Rock>(), finishing);
    EXPECT_EQ(scene.GetActor<Ship>(), first);
    EXPECT_EQ(scene.GetActor<Actor>(), finishing);

    // The first rock finishes in its update; the next one takes its place.
    scene.Update(0.0f);
    EXPECT_EQ(scene.GetActor<Rock>(), staying);
    EXPECT_EQ(scene.GetActor<Actor>(), staying);
    first->m_destroyed = true;
    scene.Update(0.0f);
    EXPECT_NE(scene.GetActor<Ship>(), nullptr);
    EXPECT_NE(scene.GetActor<Ship>(), first);

    scene.RemoveAll();
    EXPECT_EQ(scene.GetActor<Ship>(), nullptr);
    EXPECT_EQ(scene.GetActor<Actor>(), nullptr);
    scene.Add(std::make_unique<Rock>());
    EXPECT_EQ(scene.GetActor<Ship>(), nullptr);
    EXPECT_NE(scene.GetActor<Rock>(), nullptr);
}

TEST_F(SceneEquivalence, PairsThatTouchOnlyThroughRoundingAreStillMet) {
    // Found by search: the float test accepts each pair although the exact
    // distance is a little longer than the summed radii.
    struct Case {
        Vector2 a;
        Vector2 b;
        float scaleA;
        float scaleB;
    };
    const Case cases[] = {
        {{-0x1.6edp+3f, -0x1.95e9ccp+8f}, {-0x1.8a6cccp+2f, -0x1.95e9b2p+8f}, 0.3f, 5.0f},
        {{-0x1.f44a8p+4f, -0x1.cd3f1cp+8f}, {-0x1.b894fep+3f, -0x1.cd3fa6p+8f}, 17.5f, 0.0f},
        {{0x1.c7p-1f, 0x1.7399ep+8f}, {-0x1.8e4002p+1f, 0x1.7399aep+8f}, 1.5f, 2.5f},
        {{0x1.201acp+4f, -0x1.bf542p+5f}, {-0x1.3f2a06p+1f, -0x1.bf543p+5f}, 17.5f, 3.0f},
    };
    World world;
    world.unit = m_unit;
    for (const Case& c : cases) {
        vexa::Scene scene;
        world.log.clear();
        scene.Add(MakeBody(world, c.a, c.scaleA, true));
        scene.Add(MakeBody(world, c.b, c.scaleB, true));
        const float reach = c.scaleA + c.scaleB;
        ASSERT_GE(reach, Vector2::Distance(c.a, c.b));
        ASSERT_GT(std::hypot(double(c.a.x) - c.b.x, double(c.a.y) - c.b.y), double(reach));
        scene.Update(0.0f);
        EXPECT_EQ(world.log.size(), 2u) << c.a.x << ", " << c.a.y;
    }
}
