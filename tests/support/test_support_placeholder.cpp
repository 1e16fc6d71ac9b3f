// Fakes land here.
