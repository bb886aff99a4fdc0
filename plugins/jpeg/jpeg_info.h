// The jpeg plug-in's description: its GetPluginInfo index-1 text and about box.
#pragma once

inline constexpr char kJpegDescription[] = "JPEG(JFIF/Exif) Comment Plug-In ver.1.20 (C) Tessane project";
