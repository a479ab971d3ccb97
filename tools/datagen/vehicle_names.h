#ifndef DATAGEN_VEHICLE_NAMES_H
#define DATAGEN_VEHICLE_NAMES_H

// The vehicle model the vehicles table names (under models\vehicles\) and its
// seat bones, in the table's seat order (seat 0 is the driver).
const char* const BuggyModel = "buggy";
const int BuggySeatCount = 2;
const char* const BuggySeats[BuggySeatCount] = {"Seat_Driver", "Seat_Gunner"};

#endif
