// Sound requests by name: music, looping effect, voices, effects and the random voice schedules.
#pragma once

// Each request names a sound without its ".ogg"; a null or empty name stops the channel where
// the request allows it.
void playMusic(const char* name);
void playLoopEffect(const char* name);
void playVoice(const char* name);
void playEffect(const char* name);
void playSystemEffect(const char* name);
// Random numbered voices ("%04d.ogg") on voice channel 0 or 1; first < 0 switches it off.
void scheduleVoices(int channel, int first, int last, float shortest, float longest);
void stopVoiceSchedules();
// Once per frame: the elapsed time and whether the user is skipping text.
void soundTick(float seconds, bool skipping);
