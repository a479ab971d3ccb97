// Loading ahead what a soldier's update reads first: node trees and model
// records lie scattered over the heap, and a battle of a thousand soldiers
// no longer fits the cache, so each first read would wait on memory.
#ifndef GAME_SOLDIERS_SOLDIER_PREFETCH_H
#define GAME_SOLDIERS_SOLDIER_PREFETCH_H

class CSoldier;

// Asks for the soldier's model record, the nodes of its posed bones and its
// weapons' model records. The world calls it for the next soldier, so the
// loads overlap this one's update.
void PrefetchSoldierUpdate(const CSoldier& soldier);

#endif
