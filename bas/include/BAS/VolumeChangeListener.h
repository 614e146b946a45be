#pragma once
// Receives the changes of the volume list that match its entry in the
// volume manager (VolumeManager::ListenerEntry).
#include "BAS/VolumeInfo.h"

namespace CV {
namespace BAS {

class VolumeChangeListener {
public:
    virtual void onVolumeChange(eVolumeChange change, VolumeInfo const& info) = 0;

protected:
    ~VolumeChangeListener() = default;
};

} // namespace BAS
} // namespace CV
