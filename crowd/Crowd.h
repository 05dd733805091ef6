// The population of the hall: every person filed in a 10 by 10 grid of cell lists, the ten
// shared fire animations, the light shaft, the hall's pictures and the camera's travel flags.
#pragma once

#include "crowd/CellGrid.h"
#include "crowd/FireAnimation.h"
#include "crowd/Marker.h"
#include "crowd/Person.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

constexpr int crowdSize = 500;
constexpr int crowdFires = 10;

using CellList = std::vector<std::unique_ptr<Person>>;
class CrowdBatch;
class StillHall;

class Crowd {
  public:
    FireAnimation fires[crowdFires];
    Person* selectedPerson = nullptr;
    std::array<CellList, gridCells> grid; // the only place that holds the people
    Marker selectedMarker{"selected"};    // loaded, not drawn
    Marker selectorMarker{"selector"};    // the light shaft
    int32_t zoomingIn = 0;                // the view travels toward selectedPerson
    int32_t zoomingOut = 0;               // the view travels back home
    int32_t backdropSprite = 0;
    int32_t floorSprite = 0;
    float zoomInSpeed = 0.03f;            // world units per ms along y and z; x moves 0.1 faster
    float zoomOutRate = 0.003f;           // share of the remaining way home per ms
    std::unique_ptr<CrowdBatch> batch;    // set when the people are drawn batched
    std::unique_ptr<StillHall> stillHall; // set when a still view's hall is restored, not drawn

    // Created on first use (ten draws for the fires); GLUT thread only.
    static Crowd& instance();
    Crowd();
    // Defined where the batch is a complete type; tests start afresh by assigning a new crowd.
    ~Crowd();
    Crowd(Crowd&&) noexcept;
    Crowd& operator=(Crowd&&) noexcept;

    // Registers the crowd's 32 pictures and assembles the 500 people.
    void load();
    // Creates count people from the generator, gives them the sprites and files them.
    void assemblePeople(int count, const PersonSprites& sprites);
    void pickNearest(Vec3 point);
    void update();
    // Hall, floor, people, then the light shaft, all as sprites: expects the fixed GL state and
    // leaves it, with the last sprite's texture bound. With a still hall, a view unchanged since
    // the last frame has its hall restored from a copy instead of drawn.
    void draw() const;
    void sendAllHome();
    // From now on the people and the light shaft are drawn from one atlas in few draws; false,
    // with the reason, when the atlas cannot be made (the drawing then stays sprite by sprite).
    bool drawBatched(std::string& reason);

    // Appends to the end of the person's cell list, given by its cellX and cellZ.
    void file(std::unique_ptr<Person> person);
    // Removes the entry at index of a cell list; later entries keep their order.
    std::unique_ptr<Person> unfile(int32_t cell, unsigned index);
    // Number of people in all cells.
    int population() const;

  private:
    void travelToSelected(float deltaMs);
    void travelHome(float deltaMs);
};

// The ease-in of the travel back home, in ms of accumulated frame time; reset on arrival.
extern int32_t zoomOutRampMs;
