// The main loop and one frame of it.
#ifndef APP_MAIN_LOOP_H
#define APP_MAIN_LOOP_H

// One frame, in order: the draw pass, the 2D projection, the cursor, the
// flush, the keyboard poll, the mouse update, the frame driver, the emptying
// of the typed-key queue and the buffer swap. A frame the back-end cannot
// open (a lost device) runs only the frame driver, with all input released.
void RunFrame(float dt);

// Pumps messages while g_running is set. A pass that took a message starts
// over at once; a pass that found none runs a frame when one is due and then
// yields the rest of its time slice.
void RunMainLoop();

#endif
