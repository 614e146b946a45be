#pragma once
// Native strings of the object interface. They are the platform strings
// themselves (the two are interchangeable), so an NSString* is released
// and retained with CFRelease and CFRetain.
#include "platform/cf/CFString.h"

typedef platform::cf::String NSString;
