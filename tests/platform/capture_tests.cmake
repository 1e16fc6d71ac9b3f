karaoke_add_test(gst_mci_device_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/gst_mci_device_test.cpp
  LIBS karaoke_platform_capture karaoke_wav
  LABELS gst)
