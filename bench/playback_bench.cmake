# Time from play() to playing, and memory over a long run of songs, on the real media player.
add_executable(bench_playback ${CMAKE_CURRENT_LIST_DIR}/bench_playback.cpp)
target_link_libraries(bench_playback PRIVATE karaoke_platform_gst benchmark::benchmark Qt6::Widgets)
target_compile_definitions(bench_playback PRIVATE
  KARAOKE_DEFAULT_TEST_MEDIA="${CMAKE_BINARY_DIR}/test-media")
if(TARGET karaoke_test_media)
  add_dependencies(bench_playback karaoke_test_media)
endif()
