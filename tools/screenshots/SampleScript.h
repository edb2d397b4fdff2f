#pragma once

// A short vehicle script of our own, shown in the README pictures: a few objects, comments,
// a condition and an include, so that the colouring and the object list have something to do.
constexpr const char SampleScript[] = R"(rem *** Scout buggy: body, wheels and seats ***
rem Made for the README pictures of Marlix.

var v_side
v_side = 1

ObjectTemplate.create PlayerControlObject ScoutBuggy
ObjectTemplate.geometry ScoutBuggy_m1
ObjectTemplate.setHasCollisionPhysics 1
ObjectTemplate.hasMobilePhysics 1
ObjectTemplate.physicsType Mesh
ObjectTemplate.addTemplate ScoutBuggyWheelFL
ObjectTemplate.addTemplate ScoutBuggyWheelFR
ObjectTemplate.addTemplate ScoutBuggyDriverSeat

ObjectTemplate.create EngineObject ScoutBuggyEngine
ObjectTemplate.setEngineType c_ETCar
ObjectTemplate.setAcceleration 0/0/35
ObjectTemplate.setMaxSpeed 0/0/28

ObjectTemplate.create Wheel ScoutBuggyWheelFL
ObjectTemplate.geometry ScoutBuggyWheel_m1
ObjectTemplate.setPosition -0.82/0.31/1.24
rem The front right wheel shares the left one's mesh.
ObjectTemplate.create Wheel ScoutBuggyWheelFR
ObjectTemplate.geometry ScoutBuggyWheel_m1
ObjectTemplate.setPosition 0.82/0.31/1.24

ObjectTemplate.create EntryPoint ScoutBuggyDriverSeat
ObjectTemplate.setEntryRadius 2.5

if v_side == 1
    include ScoutBuggyAxis.con
else
    include ScoutBuggyAllies.con
endIf

run ScoutBuggyNetwork.con
)";
