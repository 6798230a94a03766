// Tests of the shiftsheet reader: to be written.
