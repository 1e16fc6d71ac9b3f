# GStreamer implementation of the media player (playbin with the jukebox's sinks).
add_library(karaoke_platform_gst STATIC
  ${CMAKE_CURRENT_LIST_DIR}/gst_runtime.cpp ${CMAKE_CURRENT_LIST_DIR}/gst_runtime.h
  ${CMAKE_CURRENT_LIST_DIR}/gst_media_uri.cpp ${CMAKE_CURRENT_LIST_DIR}/gst_media_uri.h
  ${CMAKE_CURRENT_LIST_DIR}/gst_media_audio_sink.cpp ${CMAKE_CURRENT_LIST_DIR}/gst_media_audio_sink.h
  ${CMAKE_CURRENT_LIST_DIR}/gst_media_video_sink.cpp ${CMAKE_CURRENT_LIST_DIR}/gst_media_video_sink.h
  ${CMAKE_CURRENT_LIST_DIR}/gst_media_frame_sink.cpp ${CMAKE_CURRENT_LIST_DIR}/gst_media_frame_sink.h
  ${CMAKE_CURRENT_LIST_DIR}/gst_media_video_widget.cpp ${CMAKE_CURRENT_LIST_DIR}/gst_media_video_widget.h
  ${CMAKE_CURRENT_LIST_DIR}/gst_media_pipeline.cpp ${CMAKE_CURRENT_LIST_DIR}/gst_media_pipeline.h
  ${CMAKE_CURRENT_LIST_DIR}/gst_media_player.cpp ${CMAKE_CURRENT_LIST_DIR}/gst_media_player.h
  ${CMAKE_CURRENT_LIST_DIR}/gst_media_player_factory.cpp ${CMAKE_CURRENT_LIST_DIR}/gst_media_player_factory.h
)
target_link_libraries(karaoke_platform_gst PUBLIC karaoke_platform_core Qt6::Widgets PRIVATE PkgConfig::GST)
