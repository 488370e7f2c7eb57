# The layers of src/ and what each may use: the one list the build and the layering check read.
# A layer's target links exactly the layers named here (so the link graph is the layer graph) and
# sees only their headers; check_layers.cmake holds every include and every link to it.
# "orvanecam" is the public header. Every list names what its layers use too, so a layer's own
# headers compile wherever they are included.
set(orvanecam_layers geometry platform sdk settings exchange picture producer streaming camera
    devices filter mfsource pipewire com playback api)
set(layer_geometry "")
set(layer_platform "")
set(layer_sdk platform)
set(layer_settings platform)
set(layer_exchange geometry platform)
set(layer_picture geometry exchange platform)
set(layer_producer orvanecam geometry exchange platform)
set(layer_streaming sdk platform)
set(layer_camera picture exchange settings geometry platform)
set(layer_devices camera picture exchange settings geometry sdk platform)
set(layer_filter camera streaming picture exchange settings geometry sdk platform)
set(layer_mfsource camera streaming picture exchange settings geometry sdk platform)
set(layer_pipewire camera picture exchange settings geometry platform)
set(layer_com devices mfsource filter camera streaming picture exchange settings geometry sdk
    platform)
set(layer_playback orvanecam producer camera picture exchange settings geometry platform)
set(layer_api orvanecam com devices mfsource playback producer filter camera streaming picture
    exchange settings geometry sdk platform)
# The tools: their own folders, the public header and the layers the command-line programs and
# the PipeWire bridge are built on.
set(tool_folders capture common doctor graph_host mfcamera)
set(layer_tools orvanecam ${tool_folders} pipewire devices mfsource camera filter streaming picture
    exchange settings geometry sdk platform)
# Only these reach the operating system's and the SDK's headers.
set(system_layers platform sdk)
