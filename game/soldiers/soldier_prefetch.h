// Loading ahead what a soldier's update reads first: node trees and model
// records lie scattered over the heap, and a battle of a thousand soldiers
// no longer fits the cache, so each first read would wait on memory.
#ifndef GAME_SOLDIERS_SOLDIER_PREFETCH_H
#define GAME_SOLDIERS_SOLDIER_PREFETCH_H

class CSoldier;

// Two steps, each reading only what the one before loaded: the world asks
// for the bones two soldiers ahead and for the links one soldier ahead, so
// the loads overlap the current soldier's update.
// The soldier's and its weapons' model records and the nodes of its bones.
void PrefetchSoldierBones(const CSoldier& soldier);
// The model roots, and each node's first links to its children.
void PrefetchSoldierLinks(const CSoldier& soldier);

#endif
