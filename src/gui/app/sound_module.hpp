#pragma once
// The interface of the sound plug-in (Qt Multimedia stays out of the program itself).
#include <QString>
#include <QtPlugin>

namespace zorvik {

// Plays wave files; each file is prepared once and kept for the next time.
class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  virtual void play(const QString& waveFile) = 0;
};

class SoundModule {
 public:
  virtual ~SoundModule() = default;
  // A new player; the caller owns it and deletes it before the application object ends.
  virtual SoundPlayer* newPlayer() = 0;
};

}  // namespace zorvik

#define ZORVIK_SOUND_MODULE_IID "app.zorvik.SoundModule/1"
Q_DECLARE_INTERFACE(zorvik::SoundModule, ZORVIK_SOUND_MODULE_IID)
