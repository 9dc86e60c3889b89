// The IOM calls that one Kolt 2 Port Node receives for Send Config, worked out by hand:
// the node fresh from the template, bound, with a patch of 1200 channels (1 to 1200) on
// its first DMX input and none on its second. The five passes run in the order hold the
// outputs, the other properties (one batch per object), the patches (slices of at most
// 500 from index 1), the channel counts, restore the outputs; then save and, because
// "isOutput" asks for it, reboot.
#pragma once

#include <string>
#include <vector>

inline std::vector<std::string> ExpectedSendSequence() {
    const std::string input =
        "aipEnabled,dmxStart,edmxStart,dimmerDoubling,ddEdmxStart,holdLastLook,"
        "holdLastLookTime,priority,lineTermination continue=1";
    const std::string output =
        "edmxStart,channelCount,dimmerDoubling,ddEdmxStart,mergeMode,refreshRate,lossMode "
        "continue=1";
    return {
        "setProp DMXPort 1 isPortEnabled=bool: false",
        "setProp DMXPort 2 isPortEnabled=bool: false",
        "setPropMulti Node 1 nodeName,location,statusInterval,isPanelLocked continue=1",
        "setPropMulti DMXPort 1 isOutput,portName continue=1",
        "setPropMulti DMXInputPort 1 " + input,
        "setPropMulti DMXOutputPort 1 " + output,
        "setPropMulti DMXPort 2 isOutput,portName continue=1",
        "setPropMulti DMXInputPort 2 " + input,
        "setPropMulti DMXOutputPort 2 " + output,
        "setPropArray DMXInputPort 1 channelPatch start=1 count=500 continue=0",
        "setPropArray DMXInputPort 1 channelPatch start=501 count=500 continue=0",
        "setPropArray DMXInputPort 1 channelPatch start=1001 count=200 continue=0",
        "setProp DMXInputPort 2 aipPatchIsEmpty=bool: true",
        "setProp DMXInputPort 1 channelCount=U16: 512",
        "setProp DMXInputPort 2 channelCount=U16: 512",
        "setProp DMXPort 1 isPortEnabled=bool: true",
        "setProp DMXPort 2 isPortEnabled=bool: true",
        "invokeMethod Node 1 saveConfiguration",
        "invokeMethod Node 1 reboot",
    };
}

// "1,2,...,n".
inline std::string CountingPatch(int n, int first = 1) {
    std::string text;
    for (int i = 0; i < n; ++i) text += (i ? "," : "") + std::to_string(first + i);
    return text;
}
