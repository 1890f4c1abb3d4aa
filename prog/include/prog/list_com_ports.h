// The COM port list of both programs: the data of the registry's values under
// HKEY_LOCAL_MACHINE "HARDWARE\DEVICEMAP\SERIALCOMM" that begin with "COM". It needs only the
// class library, so Trakmon's modem window links the small library prog_com_ports for it;
// Flasket's window calls it through TFormProg::list_com_ports.
#pragma once

class TComboBox;

// Replaces the box's items with the port names and selects the first one (the box sorts them
// when it is sorted). A missing key leaves the box empty.
void ListComPorts(TComboBox* box);
