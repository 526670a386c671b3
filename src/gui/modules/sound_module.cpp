// The sound plug-in: event sounds with QSoundEffect.
#include <QObject>
#include <QSoundEffect>
#include <QUrl>

#include <map>
#include <memory>

#include "app/sound_module.hpp"

namespace zorvik {
namespace {

class EffectPlayer : public SoundPlayer {
 public:
  void play(const QString& waveFile) override {
    auto& effect = effects_[waveFile];
    if (!effect) {
      effect = std::make_unique<QSoundEffect>();
      effect->setSource(QUrl::fromLocalFile(waveFile));
    }
    effect->play();
  }

 private:
  std::map<QString, std::unique_ptr<QSoundEffect>> effects_;
};

}  // namespace

class SoundPlugin : public QObject, public SoundModule {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID ZORVIK_SOUND_MODULE_IID)
  Q_INTERFACES(zorvik::SoundModule)
 public:
  SoundPlayer* newPlayer() override { return new EffectPlayer; }
};

}  // namespace zorvik

#include "sound_module.moc"
