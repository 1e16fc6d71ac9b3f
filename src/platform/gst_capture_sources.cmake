# The recording device on GStreamer, kept apart from the media player so each links alone.
add_library(karaoke_platform_capture STATIC
  ${CMAKE_CURRENT_LIST_DIR}/gst_mci_device.cpp ${CMAKE_CURRENT_LIST_DIR}/gst_mci_device.h
)
target_link_libraries(karaoke_platform_capture PUBLIC karaoke_platform_core PRIVATE PkgConfig::GST)
