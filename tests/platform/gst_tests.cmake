# The media player on real GStreamer pipelines, playing clips that make-test-media.sh writes.
set(KARAOKE_MAKE_TEST_MEDIA ${PROJECT_SOURCE_DIR}/scripts/make-test-media.sh)

add_custom_target(karaoke_test_media
  COMMAND bash ${KARAOKE_MAKE_TEST_MEDIA} ${KARAOKE_TEST_MEDIA_DIR}
  COMMENT "Writing test media into ${KARAOKE_TEST_MEDIA_DIR}"
  VERBATIM)

# Runs before every test that needs the clips, so plain `ctest` works on a clean build tree.
add_test(NAME make_test_media COMMAND bash ${KARAOKE_MAKE_TEST_MEDIA} ${KARAOKE_TEST_MEDIA_DIR})
set_tests_properties(make_test_media PROPERTIES FIXTURES_SETUP test_media LABELS gst TIMEOUT 120)

karaoke_add_test(gst_media_player_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/gst_media_player_test.cpp
  LIBS karaoke_platform_gst
  LABELS gst)
set_tests_properties(gst_media_player_test PROPERTIES FIXTURES_REQUIRED test_media)
