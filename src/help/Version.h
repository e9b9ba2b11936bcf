#pragma once

#include <QString>

// The program's version: major, minor, revision.
struct Version {
    int major = 0;
    int minor = 0;
    int revision = 0;
};

// The version this build of the program carries, from the project's version.
extern const Version programVersion;

// "1.0.1": plain decimal numbers joined by dots.
inline QString versionText(Version v)
{
    return QString::number(v.major) + u'.' + QString::number(v.minor) + u'.'
           + QString::number(v.revision);
}
