# GStreamer implementations of the media player and the recording device.
add_library(karaoke_platform_gst STATIC
  gst_placeholder.cpp
)
target_link_libraries(karaoke_platform_gst PUBLIC karaoke_platform_core Qt6::Widgets PRIVATE PkgConfig::GST)
