#include "crowd/Crowd.h"

#include "base/Random.h"
#include "crowd/CrowdBatch.h"
#include "crowd/StillHall.h"

#include <cmath>

int32_t zoomOutRampMs = 0;

Crowd& Crowd::instance() {
    static Crowd crowd;
    return crowd;
}

Crowd::Crowd() {
    for (FireAnimation& fire : fires) {
        fire.frameMs = randomDraw() % 60 + 40;
        fire.frame = 0;
        fire.elapsedMs = 0.0f;
    }
}

Crowd::~Crowd() = default;
Crowd::Crowd(Crowd&&) noexcept = default;
Crowd& Crowd::operator=(Crowd&&) noexcept = default;

bool Crowd::drawBatched(std::string& reason) {
    auto made = std::make_unique<CrowdBatch>();
    if (!made->build(*this, reason))
        return false;
    batch = std::move(made);
    return true;
}

void Crowd::file(std::unique_ptr<Person> person) {
    CellList& list = grid[cellIndex(person->cellX, person->cellZ)];
    list.push_back(std::move(person));
}

std::unique_ptr<Person> Crowd::unfile(int32_t cell, unsigned index) {
    CellList& list = grid[cell];
    std::unique_ptr<Person> person = std::move(list[index]);
    list.erase(list.begin() + index);
    return person;
}

int Crowd::population() const {
    int count = 0;
    for (const CellList& list : grid)
        count += static_cast<int>(list.size());
    return count;
}

void Crowd::sendAllHome() {
    for (CellList& list : grid)
        for (const std::unique_ptr<Person>& person : list) {
            person->targetPos = person->homePos;
            person->walking = 1;
        }
}

void Crowd::pickNearest(Vec3 point) {
    const float noPerson = 100000.0f; // far beyond any distance on the floor
    const Cell cell = cellOf(point.x, point.z);
    const CellList& candidates = grid[cellIndex(cell.x, cell.z)];
    float best = noPerson;
    size_t bestIndex = 0;
    for (size_t i = 0; i < candidates.size(); ++i) {
        const Vec3 head = candidates[i]->headPos;
        const float dz = point.z - head.z;
        const float dy = point.y - head.y;
        const float dx = point.x - head.x;
        const double distance = std::sqrt(static_cast<double>(dz * dz + dy * dy + dx * dx));
        if (distance < best) { // strict: the earlier of equally near people wins
            best = static_cast<float>(distance);
            bestIndex = i;
        }
    }
    if (best == noPerson) {
        selectedPerson = nullptr;
        return;
    }
    Person* const picked = candidates[bestIndex].get();
    selectedPerson = picked;
    zoomingIn = 1;

    // Everybody else steps away from the picked person, by 200 / distance units.
    const float scatter = 200.0f;
    for (CellList& list : grid)
        for (const std::unique_ptr<Person>& person : list) {
            if (person.get() == picked)
                continue;
            const Vec3 d = person->headPos - picked->headPos;
            float distance = std::sqrt(d.z * d.z + d.y * d.y + d.x * d.x);
            if (distance == 0.0f)
                distance = 0.000001f;
            const Vec3 direction = d / distance;
            person->targetPos = person->headPos + direction * scatter * (1.0f / distance);
            person->walking = 1;
        }
}
