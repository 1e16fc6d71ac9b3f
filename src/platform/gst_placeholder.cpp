// Replaced when the GStreamer implementations land.
