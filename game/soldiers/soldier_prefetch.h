// Loading ahead what a soldier's update reads first: node trees and model
// records lie scattered over the heap, and a battle of a thousand soldiers
// no longer fits the cache, so each first read would wait on memory.
#ifndef GAME_SOLDIERS_SOLDIER_PREFETCH_H
#define GAME_SOLDIERS_SOLDIER_PREFETCH_H

class CSoldier;

// Each step reads only what the step before loaded, so none waits: the
// world runs step s for the soldier SoldierPrefetchSteps - s places ahead,
// and the loads overlap the current soldier's update.
// 0: the soldier's handles, body and lists. 1: its model records, body root
// and the pose and weapon lists. 2: its bone nodes, model root and weapons'
// records and body roots. 3: the links to every node's children and the
// weapons' roots.
const int SoldierPrefetchSteps = 4;
void PrefetchSoldierStep(const CSoldier& soldier, int step);

#endif
